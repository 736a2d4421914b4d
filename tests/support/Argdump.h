#pragma once
// What the helper program argdump.exe wrote when the engine ran it: the folder it started in,
// then its arguments, in UTF-8. Read only once argdump.exe is done with the file (its last line
// is the end marker), waiting up to a minute for that; what it has so far, when the minute ends.
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

inline std::vector<std::string> ReadArgdump(const std::string& path, bool& ended) {
    static const char kEndMarker[] = "-- argdump: end --";  // argdump.cpp's
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string text; std::getline(in, text);) lines.push_back(text);
    ended = !lines.empty() && lines.back() == kEndMarker;
    if (ended) lines.pop_back();
    return lines;
}

inline std::vector<std::string> WaitForArgdump(const std::string& path) {
    constexpr DWORD kMostMilliseconds = 60000, kTickMilliseconds = 100;
    const ULONGLONG start = GetTickCount64();
    std::vector<std::string> lines;
    for (bool ended = false;;) {
        lines = ReadArgdump(path, ended);
        if (ended || GetTickCount64() - start > kMostMilliseconds) break;
        Sleep(kTickMilliseconds);
    }
    DeleteFileA(path.c_str());  // closed first: the next run writes it anew
    return lines;
}

}  // namespace testsupport
