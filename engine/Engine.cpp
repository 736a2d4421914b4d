// quorlin.dll: runs the line that the command box hands over, as an argument (ECW) or, for callers
// of the older kind, as the text of the first top-level Edit window (EC).
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "commands/CommandWord.h"
#include "engine/CommandLine.h"
#include "plugin/StaticRuntime.h"

namespace {

constexpr std::size_t kLineSize = 4096;  // at most 4095 characters and the NUL
const char kCaption[] = "Run";

void ReportFailure(const std::string& line, DWORD error) {
    char reason[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   reason, sizeof(reason), nullptr);
    std::string text = "Cannot run '" + line + "'.\n\n" + reason;
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
}

bool LookUpVariable(const std::string& name, std::string& value) {
    DWORD needed = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (needed == 0) return false;
    value.assign(needed, '\0');
    DWORD length = GetEnvironmentVariableA(name.c_str(), &value[0], needed);
    if (length >= needed) return false;  // changed meanwhile
    value.resize(length);
    return true;
}

// The user's profile folder, where programs start as they do from the Run dialog; empty when
// unknown.
std::string ProfileFolder() {
    std::string folder;
    if (!LookUpVariable("USERPROFILE", folder)) return "";
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

// A path relative to the start folder is looked for there, by the same rule as Tab completion.
bool ExistsFrom(const std::string& folder, const std::string& path) {
    std::string full = torvex::words::IsAbsolute(path) ? path : folder + path;
    return GetFileAttributesA(full.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Run(const std::string& line) {
    if (!quorlin::IsForEngine(line)) return;
    std::string expanded = quorlin::ExpandVariables(line, LookUpVariable);
    if (expanded.size() >= kLineSize) {
        ReportFailure(line, ERROR_FILENAME_EXCED_RANGE);
        return;
    }
    std::string profile = ProfileFolder();
    quorlin::Command command = quorlin::Split(
        expanded, [&](const std::string& path) { return ExistsFrom(profile, path); });

    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_FLAG_NO_UI;  // our own box names the line
    execute.lpFile = command.program.c_str();
    execute.lpParameters = command.arguments.empty() ? nullptr : command.arguments.c_str();
    execute.lpDirectory = profile.empty() ? nullptr : profile.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&execute)) ReportFailure(line, GetLastError());
}

// The line in the ANSI code page; a line longer than a line may be is not run cut.
bool ToCodePage(const wchar_t* line, std::string& text) {
    int length = static_cast<int>(wcsnlen(line, kLineSize));
    if (length >= static_cast<int>(kLineSize)) return false;
    char converted[kLineSize * 2] = "";
    int written = WideCharToMultiByte(CP_ACP, 0, line, length, converted, sizeof(converted) - 1,
                                      nullptr, nullptr);
    if (length > 0 && written == 0) return false;
    text.assign(converted, written);
    return true;
}

}  // namespace

// Nothing thrown may reach the plug-in, nor through it the shell.
extern "C" __declspec(dllexport) void ECW(const wchar_t* line) {
    try {
        std::string text;
        if (line != nullptr && ToCodePage(line, text)) Run(text);
    } catch (...) {
    }
}

extern "C" __declspec(dllexport) void EC(void) {
    char line[kLineSize] = "";
    HWND box = FindWindowA("Edit", nullptr);
    if (box == nullptr) return;
    GetWindowTextA(box, line, kLineSize);
    try {
        Run(line);
    } catch (...) {
    }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    torvex::ReleaseStaticRuntime(reason, reserved);
    return TRUE;
}
