// quorlin.dll: runs the line that the command box hands over in the first top-level Edit window.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "engine/CommandLine.h"

namespace {

constexpr int kLineSize = 4096;  // at most 4095 characters and the NUL
const char kCaption[] = "Run";

void ReportFailure(const std::string& line, DWORD error) {
    char reason[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   reason, sizeof(reason), nullptr);
    std::string text = "Cannot run '" + line + "'.\n\n" + reason;
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
}

// %VARIABLES% expanded; false when the expanded line does not fit.
bool Expand(const char* line, std::string& expanded) {
    char buffer[kLineSize];
    DWORD needed = ExpandEnvironmentStringsA(line, buffer, kLineSize);
    if (needed == 0 || needed > static_cast<DWORD>(kLineSize)) return false;
    expanded = buffer;
    return true;
}

}  // namespace

extern "C" __declspec(dllexport) void EC(void) {
    char line[kLineSize] = "";
    HWND box = FindWindowA("Edit", nullptr);
    if (box == nullptr) return;
    GetWindowTextA(box, line, kLineSize);
    if (!quorlin::IsForEngine(line)) return;

    std::string expanded;
    if (!Expand(line, expanded)) {
        ReportFailure(line, ERROR_FILENAME_EXCED_RANGE);
        return;
    }
    quorlin::Command command = quorlin::Split(expanded);

    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_FLAG_NO_UI;  // our own box names the line
    execute.lpFile = command.program.c_str();
    execute.lpParameters = command.arguments.empty() ? nullptr : command.arguments.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&execute)) ReportFailure(line, GetLastError());
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
