#pragma once
// Where the box keeps its history when it cannot keep it beside the plug-in: in the %APPDATA%
// that each test has of its own (TestMain.cpp). And a file's bytes, empty when there is none.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

namespace testsupport {

inline std::string FallbackHistoryPath() {
    char appData[MAX_PATH] = "";
    GetEnvironmentVariableA("APPDATA", appData, MAX_PATH);
    return std::string(appData) + "\\Torvex\\history.txt";
}

inline std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace testsupport
