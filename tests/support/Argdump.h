#pragma once
// What the helper program argdump.exe wrote when the engine ran it: the folder it started in,
// then its arguments, in UTF-8. Waits up to a minute for the file; empty when none came.
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

inline std::vector<std::string> WaitForArgdump(const std::string& path) {
    for (int waited = 0;
         waited < 600 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++waited) {
        Sleep(100);
    }
    std::vector<std::string> lines;
    {
        std::ifstream in(path, std::ios::binary);
        for (std::string text; std::getline(in, text);) lines.push_back(text);
    }
    DeleteFileA(path.c_str());  // closed first: the next run writes it anew
    return lines;
}

}  // namespace testsupport
