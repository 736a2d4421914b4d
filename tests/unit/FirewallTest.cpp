// Memory running out at any one allocation inside the plug-in: no exception reaches the shell
// through an exported function or the window procedure, and a failed start leaves nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/ShellMessages.h"
#include "plugin/Entry.h"
#include "plugin/TorvexPlugin.h"
#include "shell/StandIn.h"
#include "tests/support/Allocations.h"
#include "tests/support/ImportTable.h"
#include "tests/support/MessageRecorder.h"

namespace {

using testsupport::MessageRecorder;

constexpr int kMostAllocations = 400;

// Folder listings and registry keys opened by this program's code (the plug-in's among it) and
// not closed yet, counted through its import table: Wine does not count a process's handles. Only
// the handlers' own, on this thread: the list of programs keeps its watched keys open on its own.
int openHandles = 0;
DWORD handlersThread = GetCurrentThreadId();
int Counted(bool opened) {
    return opened && GetCurrentThreadId() == handlersThread ? 1 : 0;
}
HANDLE WINAPI CountedFindFirstFileExW(LPCWSTR, FINDEX_INFO_LEVELS, LPVOID, FINDEX_SEARCH_OPS,
                                      LPVOID, DWORD);
BOOL WINAPI CountedFindClose(HANDLE);
LSTATUS WINAPI CountedRegOpenKeyExW(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);
LSTATUS WINAPI CountedRegCloseKey(HKEY);
testsupport::ImportHook listingHooks[] = {
    {"FindFirstFileExW", reinterpret_cast<void*>(CountedFindFirstFileExW), nullptr},
    {"FindClose", reinterpret_cast<void*>(CountedFindClose), nullptr}};
HDC WINAPI CountedBeginPaint(HWND, PAINTSTRUCT*);
BOOL WINAPI CountedEndPaint(HWND, const PAINTSTRUCT*);
testsupport::ImportHook paintHooks[] = {
    {"BeginPaint", reinterpret_cast<void*>(CountedBeginPaint), nullptr},
    {"EndPaint", reinterpret_cast<void*>(CountedEndPaint), nullptr}};
testsupport::ImportHook keyHooks[] = {
    {"RegOpenKeyExW", reinterpret_cast<void*>(CountedRegOpenKeyExW), nullptr},
    {"RegCloseKey", reinterpret_cast<void*>(CountedRegCloseKey), nullptr}};

HANDLE WINAPI CountedFindFirstFileExW(LPCWSTR name, FINDEX_INFO_LEVELS level, LPVOID data,
                                      FINDEX_SEARCH_OPS search, LPVOID filter, DWORD flags) {
    HANDLE find = reinterpret_cast<decltype(&FindFirstFileExW)>(listingHooks[0].original)(
        name, level, data, search, filter, flags);
    openHandles += Counted(find != INVALID_HANDLE_VALUE);
    return find;
}
BOOL WINAPI CountedFindClose(HANDLE find) {
    openHandles -= Counted(true);
    return reinterpret_cast<decltype(&FindClose)>(listingHooks[1].original)(find);
}
LSTATUS WINAPI CountedRegOpenKeyExW(HKEY root, LPCWSTR path, DWORD options, REGSAM access,
                                    PHKEY key) {
    LSTATUS status = reinterpret_cast<decltype(&RegOpenKeyExW)>(keyHooks[0].original)(
        root, path, options, access, key);
    openHandles += Counted(status == ERROR_SUCCESS);
    return status;
}
LSTATUS WINAPI CountedRegCloseKey(HKEY key) {
    openHandles -= Counted(true);
    return reinterpret_cast<decltype(&RegCloseKey)>(keyHooks[1].original)(key);
}

HDC WINAPI CountedBeginPaint(HWND window, PAINTSTRUCT* paint) {
    ++openHandles;  // a paint begun and not ended leaves the caret hidden
    return reinterpret_cast<decltype(&BeginPaint)>(paintHooks[0].original)(window, paint);
}
BOOL WINAPI CountedEndPaint(HWND window, const PAINTSTRUCT* paint) {
    --openHandles;
    return reinterpret_cast<decltype(&EndPaint)>(paintHooks[1].original)(window, paint);
}

long Count(const MessageRecorder& shell, UINT message) {
    return std::count_if(shell.messages().begin(), shell.messages().end(),
                         [&](const auto& seen) { return seen.message == message; });
}

class Firewall : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::SetMainWindow(shell_.main());
        DeleteFileA("history.txt");
    }
    void TearDown() override {
        testsupport::StopFailingAllocations();
        endPlugin();
        standin::SetMainWindow(nullptr);
        DeleteFileA("history.txt");
    }
    // Runs `step` once for each allocation it makes, failing that one; false when it made none.
    template <typename Step>
    int FailEachAllocationOf(Step step) {
        int nth = 1;
        for (; nth <= kMostAllocations; ++nth) {
            testsupport::FailAllocation(nth);
            step(nth);
            testsupport::StopFailingAllocations();
            if (!testsupport::AllocationFailed()) break;
        }
        return nth - 1;
    }

    MessageRecorder shell_;
};

TEST_F(Firewall, AStartThatRunsOutOfMemoryReturnsOneAndLeavesNothing) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    int failedStarts = 0;
    int swept = FailEachAllocationOf([&](int nth) {
        shell_.Clear();
        int result = -1;
        EXPECT_NO_THROW(result = beginPluginEx(instance, shell_.slit()));
        testsupport::StopFailingAllocations();
        if (result == 1) {
            ++failedStarts;
            EXPECT_EQ(thePlugin, nullptr) << nth;
            EXPECT_EQ(Count(shell_, shell::kRegisterMessages),
                      Count(shell_, shell::kUnregisterMessages))
                << "a box registered by a failed start is unregistered again, at " << nth;
        } else {
            EXPECT_EQ(result, 0) << nth;
            endPlugin();
        }
    });
    EXPECT_GT(swept, 0);
    EXPECT_GT(failedStarts, 0);
}

TEST_F(Firewall, AHandlerThatRunsOutOfMemoryDoesNothing) {
    ASSERT_EQ(beginPluginEx(GetModuleHandleA(nullptr), shell_.slit()), 0);
    handlersThread = GetCurrentThreadId();
    HWND box = thePlugin->editWindow;
    const char appPath[] =
        "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\torvexfirewall.exe";
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, appPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    RegCloseKey(key);
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    struct Message {
        UINT message;
        WPARAM wParam;
        std::string line;  // empty: a line of each run's own, so that each one is written
    };
    // Enter (the line is recorded and written), the reconfigure (settings, style, font), Tab
    // with a folder listed (this program's own name among the matches) and with a program name
    // (PATH and App Paths), and a paint while Ctrl+R searches (the prompt).
    const Message sent[] = {{WM_CHAR, 13, ""},
                            {shell::kReconfigure, 0, ""},
                            {WM_KEYDOWN, VK_TAB, std::string(program, std::strlen(program) - 5)},
                            {WM_KEYDOWN, VK_TAB, "torvexfire"},
                            {WM_PAINT, 0, "calc"}};
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_EQ(testsupport::PatchImports(self, "kernel32.dll", listingHooks, 2, true), 2);
    ASSERT_EQ(testsupport::PatchImports(self, "advapi32.dll", keyHooks, 2, true), 2);
    ASSERT_EQ(testsupport::PatchImports(self, "user32.dll", paintHooks, 2, true), 2);
    for (const Message& message : sent) {
        int swept = FailEachAllocationOf([&](int nth) {
            char line[MAX_PATH];  // the test itself allocates nothing here
            if (message.line.empty()) {
                std::snprintf(line, sizeof(line), "@sweep %d", nth);
            } else {
                lstrcpynA(line, message.line.c_str(), sizeof(line));
            }
            SetWindowTextA(box, line);
            SendMessageA(box, EM_SETSEL, std::strlen(line), std::strlen(line));
            thePlugin->search.active = message.message == WM_PAINT;
            InvalidateRect(box, nullptr, TRUE);
            EXPECT_NO_THROW(SendMessageA(box, message.message, message.wParam, 0));
        });
        EXPECT_TRUE(IsWindow(box)) << message.line;
        EXPECT_GT(swept, 0) << message.line;
    }
    testsupport::PatchImports(self, "kernel32.dll", listingHooks, 2, false);
    testsupport::PatchImports(self, "advapi32.dll", keyHooks, 2, false);
    testsupport::PatchImports(self, "user32.dll", paintHooks, 2, false);
    RegDeleteKeyA(HKEY_CURRENT_USER, appPath);
    EXPECT_EQ(openHandles, 0) << "no listing, key or paint is left open";
    shell_.Pump();
}

}  // namespace
