// Every kind of line through the real torvex.dll, typed as a keyboard brings it, with the box
// floating and docked in a slit that makes it its child, and handed to either kind of engine:
// one that takes the line as its argument (as quorlin.dll does), and one of the older kind that
// reads it from the first top-level Edit window.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/ShellMessages.h"
#include "shell/PluginExports.h"
#include "shell/StandIn.h"
#include "tests/support/Argdump.h"
#include "tests/support/ImportTable.h"
#include "tests/support/Keyboard.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RealPlugin.h"
#include "tests/support/TempShellFolder.h"
#include "tests/support/Text.h"

namespace {

using testsupport::Delivery;
using testsupport::Expected;
using testsupport::PressEnter;
using testsupport::PressKey;
using testsupport::Target;
using testsupport::TypeText;
using testsupport::Wide;

const testsupport::BoxAndEngine kBoxesAndEngines[] = {{"recording_engine.dll", false},
                                                      {"recording_engine.dll", true},
                                                      {"foreign_engine.dll", false},
                                                      {"foreign_engine.dll", true}};

using LinesTest = testsupport::RealPlugin;

struct LineCase {
    const char* typed;
    UINT posted;  // 0: nothing
    WPARAM wParam;
    bool toEngine;
    bool showsUser;  // else the field is emptied
};
const LineCase kLines[] = {
    {".clear", 0, 0, false, false},
    {"notepad \"C:\\Read Me.TXT\" /A:b", 0, 0, true, false},
    {".Exit", shell::kQuit, 0, false, false},
    {".REBOOT", shell::kEndSession, shell::kReboot, false, false},
    {"@NMShowPlugins", shell::kBroadcast, 0, true, false},
    {".what", 0, 0, true, false},
    {".where is it?", 0, 0, true, false},
    {".Who", 0, 0, false, true},
    {"", 0, 0, true, false},
};

TEST_F(LinesTest, EveryKindOfLineRunsTheSameDockedOrFloatingWithEitherEngine) {
    char user[64] = "";
    DWORD size = sizeof(user);
    ASSERT_TRUE(GetUserNameA(user, &size));
    for (const testsupport::BoxAndEngine& setup : kBoxesAndEngines) {
        SCOPED_TRACE(std::string(setup.engine) + (setup.docked ? ", docked" : ", floating"));
        DeleteFileA(InPlugin("history.txt").c_str());
        Start(setup);
        std::string file;
        for (const LineCase& row : kLines) {
            SCOPED_TRACE(row.typed);
            shell_.Clear();
            TypeText(box_, row.typed);
            ASSERT_EQ(Field(), row.typed) << "typed as meant, capitals and symbols with Shift";
            PressEnter(box_);
            shell_.Pump();
            std::vector<Expected> posted;
            if (row.posted != 0) {
                bool broadcast = row.posted == shell::kBroadcast;
                posted.push_back({Target::kMain, row.posted, Delivery::kPosted, row.wParam, 0,
                                  broadcast ? row.typed : nullptr, broadcast});
            }
            EXPECT_TRUE(shell_.Matches(posted));
            EXPECT_EQ(EngineGot(), row.toEngine ? row.typed : "");
            EXPECT_EQ(Field(), row.showsUser ? user : "");
            file += std::string(row.typed) + "\r\n";
            PressKey(box_, VK_UP);
            EXPECT_EQ(Field(), row.typed) << "recorded, and recalled";
            PressKey(box_, VK_DOWN);
        }
        Stop();
        EXPECT_EQ(HistoryFile(), file);
    }
}

// Lines in any script, typed as an input method brings them, run by the real engine: a program
// in a folder named in several scripts (unquoted, as the Run dialog takes it) gets its arguments
// exactly. Each line is recorded in UTF-8, recalled with Up and completed with a Shift tap.
TEST_F(LinesTest, LinesInAnyScriptRunExactlyAndComeBack) {
    const std::string profile = plugin_folder_.path().substr(0, plugin_folder_.path().size() - 1);
    const std::string folder = profile + "\\Скрипты 日本 😀";
    const std::string output = plugin_folder_.path() + "argdump.out";
    ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
    ASSERT_TRUE(
        CopyFileW(L"helper dir\\argdump.exe", Wide(folder + "\\argdump.exe").c_str(), FALSE));
    SetEnvironmentVariableW(L"USERPROFILE", Wide(profile).c_str());
    SetEnvironmentVariableA("TORVEX_ARGDUMP_FILE", output.c_str());
    testsupport::ModalDriver closer;
    for (bool docked : {false, true}) {
        SCOPED_TRACE(docked ? "docked" : "floating");
        DeleteFileA(InPlugin("history.txt").c_str());
        Start({"quorlin.dll", docked});
        std::string file;
        for (const char* word : {"Жёлтый", "日本語", "😀", "café", "plain"}) {
            SCOPED_TRACE(word);
            const std::string line =
                "Скрипты 日本 😀\\argdump.exe " + std::string(word) + " \"" + word + " two\"";
            Run(line);
            EXPECT_EQ(testsupport::WaitForArgdump(output),
                      (std::vector<std::string>{profile, word, word + std::string(" two")}));
            PressKey(box_, VK_ESCAPE, 27);  // a fresh start: the newest line is next
            PressKey(box_, VK_UP);
            EXPECT_EQ(Field(), line) << "recalled";
            PressKey(box_, VK_ESCAPE, 27);
            TypeText(box_, word + std::string(" two"));
            testsupport::TapShift(box_);
            EXPECT_EQ(Field(), line) << "completed";
            PressKey(box_, VK_ESCAPE, 27);
            file += line + "\r\n";
        }
        // Typed characters come through the shell's message loop, an ANSI one here (as the
        // recorder pumps it): none of them turns into '?' on the way.
        for (wchar_t typed : std::wstring(L"Ж日\U0001F600é")) PostMessageW(box_, WM_CHAR, typed, 1);
        shell_.Pump();
        EXPECT_EQ(Field(), "Ж日😀é");
        PressKey(box_, VK_ESCAPE, 27);
        Stop();
        EXPECT_EQ(HistoryFile(), file) << "in UTF-8";
    }
    EXPECT_TRUE(closer.Seen().empty());
    DeleteFileW(Wide(folder + "\\argdump.exe").c_str());
    RemoveDirectoryW(Wide(folder).c_str());
}

// Tab and Ctrl+Backspace work on characters whatever the code page. Under a double-byte one
// (932) a trail byte of 0x5C (表, ソ) is no backslash, and a caret position is no byte offset.
TEST_F(LinesTest, TabAndCtrlBackspaceCountCharacters) {
    if (const char* page = std::getenv("TORVEX_CODE_PAGE")) {
        ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(page))) << "the code page of this run";
    }
    const std::string profile = plugin_folder_.path() + "profile";
    CreateDirectoryA(profile.c_str(), nullptr);
    CreateDirectoryA((profile + "\\Documents").c_str(), nullptr);
    wchar_t saved[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"USERPROFILE", saved, MAX_PATH);
    SetEnvironmentVariableA("USERPROFILE", profile.c_str());
    struct Case {
        const char* typed;
        WPARAM key, character;
        const char* expected;
    };
    const Case cases[] = {{"表 abc", VK_BACK, 127, "表 "},
                          {"C:\\ソフト", VK_BACK, 127, "C:\\"},
                          {"日本 Do", VK_TAB, '\t', "日本 Documents\\"}};
    for (bool docked : {false, true}) {
        Start({"recording_engine.dll", docked});
        for (const Case& row : cases) {
            SetWindowTextW(box_, L"");
            TypeText(box_, row.typed);
            PressKey(box_, row.key, row.character);
            EXPECT_EQ(Field(), row.expected) << row.typed << (docked ? ", docked" : "");
        }
        Stop();
    }
    SetEnvironmentVariableW(L"USERPROFILE", saved);
    RemoveDirectoryA((profile + "\\Documents").c_str());
    RemoveDirectoryA(profile.c_str());
}

// A program that only the 64-bit System32 holds (as ssh.exe and wsl.exe): a 32-bit shell on 64-bit
// Windows sees SysWOW64 there, yet Tab lists it and Enter runs it, as the Run dialog does.
TEST_F(LinesTest, AProgramOnlyTheRealSystem32HoldsIsCompletedAndRun) {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    wchar_t windows[MAX_PATH] = L"";
    GetSystemWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring program =
        std::wstring(windows) + (wow64 ? L"\\Sysnative" : L"\\System32") + L"\\torvex-native.exe";
    ASSERT_TRUE(CopyFileW(L"helper dir\\argdump.exe", program.c_str(), FALSE));
    const std::string output = plugin_folder_.path() + "argdump.out";
    SetEnvironmentVariableA("TORVEX_ARGDUMP_FILE", output.c_str());
    testsupport::ModalDriver closer;
    for (bool docked : {false, true}) {
        SCOPED_TRACE(docked ? "docked" : "floating");
        Start({"quorlin.dll", docked});
        TypeText(box_, "torvex-nati");
        PressKey(box_, VK_TAB, '\t');
        EXPECT_EQ(Field(), "torvex-native.exe");
        TypeText(box_, " Works");
        PressEnter(box_);
        std::vector<std::string> got = testsupport::WaitForArgdump(output);
        EXPECT_EQ(got.size() == 2 ? got[1] : "(not run)", "Works") << "its argument, as typed";
        Stop();
    }
    EXPECT_TRUE(closer.Seen().empty());
    DeleteFileW(program.c_str());
}

// A program with a hidden top-level Edit window, newer than the box and so above it, that
// answers no message (busy, or hung): stands for any other program's Edit window.
class UnansweringProgram {
  public:
    UnansweringProgram()
        : thread_([this] {
              window_ = CreateWindowExA(0, "Edit", "their text", WS_POPUP, 0, 0, 50, 20, nullptr,
                                        nullptr, nullptr, nullptr);
              SetEvent(ready_);
              WaitForSingleObject(release_, 30000);  // and no message is taken meanwhile
              waited_ = true;
              char text[64] = "";
              GetWindowTextA(window_, text, sizeof(text));
              textAtEnd_ = text;
              DestroyWindow(window_);
          }) {
        WaitForSingleObject(ready_, INFINITE);
    }
    ~UnansweringProgram() { Release(); }
    bool StillWaiting() const { return !waited_; }
    std::string Release() {
        SetEvent(release_);
        thread_.Join();
        return textAtEnd_;
    }

  private:
    HANDLE ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND window_ = nullptr;
    std::atomic<bool> waited_{false};
    std::string textAtEnd_;
    testsupport::KeptThread thread_;
};

TEST_F(LinesTest, NoLineGoesIntoAnotherProgramsEditWindow) {
    for (const testsupport::BoxAndEngine& setup : kBoxesAndEngines) {
        SCOPED_TRACE(std::string(setup.engine) + (setup.docked ? ", docked" : ", floating"));
        Start(setup);
        UnansweringProgram other;
        Run("notepad");
        EXPECT_EQ(EngineGot(), "notepad");
        EXPECT_TRUE(other.StillWaiting()) << "Enter did not wait on the other program";
        EXPECT_EQ(other.Release(), "their text");
        Stop();
    }
}

// Another program puts an Edit window at the very top just as the plug-in has placed its own
// there: the engine of the older kind would read that one, so the line is not handed over.
HWND intruder = nullptr;
testsupport::ImportHook placement = {"SetWindowPos", nullptr, nullptr};

BOOL WINAPI PlaceAndIntrude(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags) {
    using Place = BOOL(WINAPI*)(HWND, HWND, int, int, int, int, UINT);
    BOOL placed = reinterpret_cast<Place>(placement.original)(window, after, x, y, cx, cy, flags);
    if (after == HWND_TOPMOST) {
        SetWindowPos(intruder, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return placed;
}

TEST_F(LinesTest, WhenAnotherEditWindowStandsFirstTheLineStaysAndTheUserIsTold) {
    intruder = CreateWindowExA(0, "Edit", "their text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                               nullptr, nullptr);
    placement.replacement = reinterpret_cast<void*>(&PlaceAndIntrude);
    for (bool docked : {false, true}) {
        SCOPED_TRACE(docked ? "docked" : "floating");
        Start({"foreign_engine.dll", docked});
        ASSERT_EQ(testsupport::PatchImports(module_, "user32.dll", &placement, 1, true), 1);
        testsupport::ModalDriver closer;
        Run("notepad");
        ASSERT_EQ(closer.Seen().size(), 1u);
        EXPECT_EQ(closer.Seen()[0].caption, "Torvex");
        EXPECT_EQ(Field(), "notepad") << "the line stays in the box";
        EXPECT_EQ(EngineGot(), "");
        char text[64] = "";
        GetWindowTextA(intruder, text, sizeof(text));
        EXPECT_STREQ(text, "their text");
        testsupport::PatchImports(module_, "user32.dll", &placement, 1, false);
        Stop();
        EXPECT_EQ(HistoryFile(), "") << "a line that did not run is not recorded";
    }
    DestroyWindow(intruder);
}

}  // namespace
