// The test program's main. (In the 64-bit lane the address space below 4 GB has been taken
// before it runs: see LowAddressSpace.h.)
//
// GoogleTest hands every failed assertion to OutputDebugStringA as
// well, which under Wine raises an exception; where 32-bit Wine runs under emulation, raising one
// kills the process, so a run ended at its first failure with the rest unreported. This
// program's own calls of it (GoogleTest's) do nothing.
//
// GoogleTest also starts, for every thread that touches its per-thread state, a watcher thread
// that waits on that thread's handle to free that state when the thread ends. Where 32-bit Wine
// runs under emulation, a thread that ends while a third one lives brings the process down now and
// then (a hang, a segmentation fault or "stack smashing detected", with no plug-in loaded at all:
// two threads that wait and one that starts and ends are enough). So no watcher is started: its
// handle is given back at once, and a few bytes per thread stay until the program ends.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "tests/support/ImportTable.h"
#include "tests/support/TempShellFolder.h"

namespace {
void WINAPI NoDebugOutput(LPCSTR) {}

decltype(&CreateThread) g_createThread = nullptr;

// GoogleTest's watcher is the only thread this program starts suspended. What it gets instead is
// a handle to this thread, on which GoogleTest's setting of the same priority and its resuming
// change nothing.
HANDLE WINAPI CreateThreadButNoWatcher(LPSECURITY_ATTRIBUTES security, SIZE_T stack,
                                       LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                                       LPDWORD id) {
    if ((flags & CREATE_SUSPENDED) == 0) {
        return g_createThread(security, stack, start, parameter, flags, id);
    }
    const auto* watched = static_cast<const std::pair<DWORD, HANDLE>*>(parameter);
    CloseHandle(watched->second);
    delete watched;
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self,
                    THREAD_SET_INFORMATION | THREAD_SUSPEND_RESUME, FALSE, 0);
    if (id != nullptr) *id = GetCurrentThreadId();
    return self;
}

// Each test starts clean: an %APPDATA% of its own, new for this run and gone when it ends, so
// that a history file that a test's box made there never becomes the next test's history; and
// none of the files that the box keeps beside the program (as its plug-in folder) left by an
// earlier test or by a run that crashed, read-only ones and folders in their place included.
// The Start menus too: the user's and all users' Programs folders are empty folders in it, as the
// system finds them (the shell folders' registry values), and are given back as they were.
const char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
struct StartMenuValue {
    HKEY root;
    const char* name;
    const char* folder;  // in the test's %APPDATA%
    const char* usual;
    std::string was;
};
StartMenuValue startMenus[] = {
    {HKEY_CURRENT_USER, "Programs", "\\Start Menu",
     "%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs", ""},
    {HKEY_LOCAL_MACHINE, "Common Programs", "\\All Users",
     "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs", ""}};

std::string ShellFolder(const StartMenuValue& value) {
    char path[MAX_PATH] = "";
    DWORD size = sizeof(path);
    if (RegGetValueA(value.root, kShellFolders, value.name,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, path,
                     &size) != ERROR_SUCCESS) {
        return "";
    }
    return path;
}

void SetShellFolder(const StartMenuValue& value, const std::string& path) {
    if (path.empty()) return;
    RegSetKeyValueA(value.root, kShellFolders, value.name, REG_EXPAND_SZ, path.c_str(),
                    static_cast<DWORD>(path.size() + 1));
}

class CleanStart : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        folder_ = testsupport::NewTempFolder("torvex-appdata");
        folder_.pop_back();  // as Windows sets it, without the last backslash
        SetEnvironmentVariableA("APPDATA", folder_.c_str());
        for (StartMenuValue& value : startMenus) {
            // A run that crashed left its own folder there: the system's own is put back.
            if (value.was.empty()) value.was = ShellFolder(value);
            if (value.was.find("torvex-appdata") != std::string::npos) value.was = value.usual;
            CreateDirectoryA((folder_ + value.folder).c_str(), nullptr);
            SetShellFolder(value, folder_ + value.folder);
        }
        char program[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, program, MAX_PATH);
        const std::string beside = std::string(program, std::strrchr(program, '\\') + 1);
        for (const char* name :
             {"history.txt", "history.txt.new", "history.counts.txt", "history.counts.txt.new"}) {
            testsupport::RemoveTree(beside + name);
        }
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        for (const StartMenuValue& value : startMenus) SetShellFolder(value, value.was);
        testsupport::RemoveTree(folder_);
    }
    std::string folder_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new CleanStart);
    testsupport::ImportHook hooks[] = {
        {"OutputDebugStringA", reinterpret_cast<void*>(NoDebugOutput), nullptr},
        {"CreateThread", reinterpret_cast<void*>(CreateThreadButNoWatcher), nullptr}};
    testsupport::PatchImports(GetModuleHandleA(nullptr), "kernel32.dll", hooks, 2, true);
    g_createThread = reinterpret_cast<decltype(&CreateThread)>(hooks[1].original);
    return RUN_ALL_TESTS();
}
