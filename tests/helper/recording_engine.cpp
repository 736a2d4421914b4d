// A command engine for the interpreter's tests: "EC" remembers the text of the first top-level
// Edit window, which is how the box hands a line over.
#include <windows.h>

#include <string>
#include <vector>

#include "plugin/StaticRuntime.h"

namespace {
std::vector<std::string> lines;
std::string joined;
}  // namespace

extern "C" __declspec(dllexport) void EC(void) {
    char line[4096] = "";
    GetWindowTextA(FindWindowA("Edit", nullptr), line, sizeof(line));
    lines.push_back(line);
}

// The lines received so far, joined with "|"; clears the record.
extern "C" __declspec(dllexport) const char* TakeRecordedLines(void) {
    joined.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) joined += (i ? "|" : "") + lines[i];
    lines.clear();
    return joined.c_str();
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    torvex::ReleaseStaticRuntime(reason, reserved);
    return TRUE;
}
