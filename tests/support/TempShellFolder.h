#pragma once
// A folder under %TEMP% that the stand-in shell takes as its own for one test, new for this run:
// its name is one that no earlier run used, so that what a crashed run left behind can never
// decide this one. It is removed with all that it holds, read-only files too, when the test ends.
#include <windows.h>

#include <fstream>
#include <string>

#include "shell/StandIn.h"
#include "tests/support/Text.h"

namespace testsupport {

// Removes a file or a folder with all that it holds, whatever their attributes.
inline void RemoveTree(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        if (!DeleteFileW(path.c_str())) RemoveDirectoryW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}
inline void RemoveTree(const std::string& path) {
    RemoveTree(Wide(path));
}

// A folder made for this run under %TEMP%, "<name>-<process>-<n>", with its trailing backslash.
inline std::string NewTempFolder(const char* name) {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string stem =
        std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId()) + "-";
    for (unsigned n = 0;; ++n) {
        const std::string path = stem + std::to_string(n);
        if (CreateDirectoryA(path.c_str(), nullptr)) return path + "\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS) return path + "\\";  // fails where it is used
    }
}

class TempShellFolder {
  public:
    explicit TempShellFolder(const char* name) : path_(NewTempFolder(name)) {
        standin::SetShellFolder(path_);
    }
    ~TempShellFolder() {
        RemoveTree(path_.substr(0, path_.size() - 1));
        standin::SetShellFolder("");
    }
    TempShellFolder(const TempShellFolder&) = delete;
    TempShellFolder& operator=(const TempShellFolder&) = delete;

    const std::string& path() const { return path_; }

    // Writes (or rewrites) a file in the folder and returns its path.
    std::string Write(const char* name, const std::string& text) {
        std::string file = path_ + name;
        std::ofstream(file) << text;
        return file;
    }

  private:
    std::string path_;
};

}  // namespace testsupport
