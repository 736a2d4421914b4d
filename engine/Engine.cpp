// quorlin.dll: runs the line that the command box hands over, as an argument (ECW; ECWV with a
// verb, "runas" to run it as administrator) or, for callers of the older kind, as the text of the
// first top-level Edit window (EC). In UTF-16 throughout:
// programs, folders and arguments in any script.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "paths/CommandWord.h"
#include "paths/NativeSystemFolder.h"
#include "paths/SearchPath.h"
#include "paths/StartSpelling.h"
#include "engine/AppPaths.h"
#include "engine/CommandLine.h"
#include "plugin/StaticRuntime.h"

namespace {

constexpr std::size_t kLineSize = 4096;  // at most 4095 UTF-16 units and the NUL
const wchar_t kCaption[] = L"Run";

std::wstring Wide(const std::u16string& text) {
    return {text.begin(), text.end()};
}
std::u16string Units(const std::wstring& text) {
    return {text.begin(), text.end()};
}

void ReportFailure(const std::u16string& line, DWORD error) {
    wchar_t reason[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   reason, sizeof(reason) / sizeof(reason[0]), nullptr);
    std::wstring text = L"Cannot run '" + Wide(line) + L"'.\n\n" + reason;
    MessageBoxW(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
}

bool LookUpVariable(const std::u16string& name, std::u16string& value) {
    std::wstring wideName = Wide(name);
    DWORD needed = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (needed == 0) return false;
    std::wstring text(needed, L'\0');
    DWORD length = GetEnvironmentVariableW(wideName.c_str(), &text[0], needed);
    if (length >= needed) return false;  // changed meanwhile
    text.resize(length);
    value = Units(text);
    return true;
}

// The user's profile folder, where programs start as they do from the Run dialog; empty when
// unknown.
std::u16string ProfileFolder() {
    std::u16string folder;
    if (!LookUpVariable(u"USERPROFILE", folder)) return u"";
    if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
    return folder;
}

// A path relative to the start folder is looked for there, by the same rule as Tab completion;
// one into System32 as the system's own programs see it.
bool ExistsFrom(const std::u16string& folder, const std::u16string& path) {
    std::u16string full = torvex::words::IsAbsolute(path) ? path : folder + path;
    return GetFileAttributesW(Wide(torvex::NativePath(full)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFile(const std::u16string& path) {
    DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// What ShellExecuteEx is given to run with `verb` (empty: the default one). A program's name alone
// is looked for as the Run dialog looks for it, in the start folder, then along PATH with PATHEXT,
// System32 as the system's own programs see it, and the full path found is run. Anything else (a
// document, an address, a name that App Paths knows) goes as it is, but for a name registered only
// where WOW64 hides it from this process: the path registered there is run. A full path into
// System32 is spelled for whoever is to open it.
std::u16string WhatToRun(const std::u16string& program, const std::u16string& profile,
                         const std::u16string& verb) {
    auto spelled = [&](const std::u16string& path) {
        return torvex::search::StartSpelling(path, verb, torvex::TheRedirection(), IsFile);
    };
    if (!torvex::search::IsBareName(program)) {
        return torvex::words::IsAbsolute(program) ? spelled(program) : program;
    }
    if (ExistsFrom(profile, program)) return program;
    std::u16string path, extensions;
    if (!LookUpVariable(u"PATHEXT", extensions)) extensions = u".COM;.EXE;.BAT;.CMD";
    std::vector<std::u16string> folders;
    if (LookUpVariable(u"PATH", path)) {
        for (const std::u16string& folder : torvex::search::Entries(path)) {
            folders.push_back(torvex::NativePath(quorlin::ExpandVariables(folder, LookUpVariable)));
        }
    }
    std::u16string found =
        torvex::search::FindProgram(program, folders, torvex::search::Entries(extensions), IsFile);
    if (found.empty()) {
        const bool redirected = !torvex::TheRedirection().system32.empty();
        found = quorlin::ProgramOnlyTheNativeViewKnows(program, redirected);
    }
    return found.empty() ? program : spelled(found);
}

// COM in a single-threaded apartment for as long as ShellExecuteEx runs, as its documentation
// asks: the handlers of some documents (packaged apps, "ms-settings:") are COM objects. A thread
// already in another apartment goes on in it; every initialisation that succeeded is undone.
class ComApartment {
  public:
    ComApartment()
        : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();  // S_FALSE too: already in one, counted
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    HRESULT result_;
};

// `verb`: how to run it ("runas": as administrator); null for the program's default.
void Run(const std::u16string& line, const wchar_t* verb = nullptr) {
    if (!quorlin::IsForEngine(line)) return;
    std::u16string expanded = quorlin::ExpandVariables(line, LookUpVariable);
    if (expanded.size() >= kLineSize) {
        ReportFailure(line, ERROR_FILENAME_EXCED_RANGE);
        return;
    }
    std::u16string profile = ProfileFolder();
    quorlin::Command command = quorlin::Split(
        expanded, [&](const std::u16string& path) { return ExistsFrom(profile, path); });

    const std::u16string verbText = verb != nullptr ? Units(verb) : u"";
    std::wstring program = Wide(WhatToRun(command.program, profile, verbText));
    std::wstring arguments = Wide(command.arguments);
    std::wstring folder = Wide(profile);
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof(execute);
    // Our own box names the line. The call returns only when the program has been started: COM is
    // given back right after it, and an activation still under way would need it.
    execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.lpVerb = verb;
    execute.lpFile = program.c_str();
    execute.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    execute.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    execute.nShow = SW_SHOWNORMAL;
    DWORD error = ERROR_SUCCESS;
    {
        ComApartment apartment;
        if (ShellExecuteExW(&execute)) return;
        error = GetLastError();
    }
    // The user said no to the administrator's prompt: nothing to tell.
    if (error != ERROR_CANCELLED) ReportFailure(line, error);
}

}  // namespace

// Nothing thrown may reach the plug-in, nor through it the shell.
extern "C" __declspec(dllexport) void ECW(const wchar_t* line) {
    try {
        // A line longer than a line may be is not run cut.
        if (line != nullptr && wcsnlen(line, kLineSize) < kLineSize) Run(Units(line));
    } catch (...) {
    }
}

extern "C" __declspec(dllexport) void ECWV(const wchar_t* line, const wchar_t* verb) {
    try {
        if (line != nullptr && wcsnlen(line, kLineSize) < kLineSize) Run(Units(line), verb);
    } catch (...) {
    }
}

extern "C" __declspec(dllexport) void EC(void) {
    wchar_t line[kLineSize] = L"";
    HWND box = FindWindowA("Edit", nullptr);
    if (box == nullptr) return;
    GetWindowTextW(box, line, kLineSize);
    try {
        Run(Units(line));
    } catch (...) {
    }
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    torvex::ReleaseStaticRuntime(module, reason, reserved);
    return TRUE;
}
