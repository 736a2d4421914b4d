// The real torvex.dll started and stopped by this program, which stands in for the shell.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "host/ShellMessages.h"
#include "shell/PluginExports.h"
#include "shell/StandIn.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/FaultWatch.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempShellFolder.h"

namespace {

using testsupport::Delivery;
using testsupport::Expected;
using testsupport::MessageRecorder;
using testsupport::Target;

using standin::BeginPlugin;
using standin::BeginPluginEx;
using standin::EndPlugin;
using standin::Export;
using standin::PluginInfo;

class StartStopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::SetMainWindow(shell_.main());
        module_ = LoadLibraryA("torvex.dll");
        ASSERT_NE(module_, nullptr);
        beginEx_ = Export<BeginPluginEx>(module_, "beginPluginEx");
        begin_ = Export<BeginPlugin>(module_, "beginPlugin");
        end_ = Export<EndPlugin>(module_, "endPlugin");
        ASSERT_TRUE(beginEx_ && begin_ && end_);
    }
    void TearDown() override {
        end_();
        FreeLibrary(module_);
        standin::SetMainWindow(nullptr);
        DeleteFileA("history.txt");
    }
    void Settings(const std::string& text) { folder_.Write("torvex.rc", text); }
    HWND Box() {
        for (const auto& message : shell_.messages()) {
            if (message.message == shell::kRegisterMessages) {
                return reinterpret_cast<HWND>(message.wParam);
            }
        }
        return nullptr;
    }
    Expected Registration(UINT message, HWND box) {
        return {Target::kMain, message, Delivery::kSent, reinterpret_cast<WPARAM>(box), 0,
                "10901,10103", true};
    }
    Expected Call(const char* function, HWND box) {
        return {Target::kCall, 0, Delivery::kCalled, reinterpret_cast<WPARAM>(box), 0, function};
    }
    Expected ToSlit(UINT message, HWND box) {
        return {Target::kSlit, message, Delivery::kSent, 0, reinterpret_cast<LPARAM>(box)};
    }

    MessageRecorder shell_;
    testsupport::TempShellFolder folder_{"torvex-start-shell"};
    HMODULE module_ = nullptr;
    BeginPluginEx beginEx_ = nullptr;
    BeginPlugin begin_ = nullptr;
    EndPlugin end_ = nullptr;
};

TEST_F(StartStopTest, StartsDockedAndStopsInOrder) {
    Settings("torvex.inslit: true\ntorvex.x: 10\ntorvex.y: 20\n");
    shell_.RecordCalls({"MakeSticky", "RemoveSticky"});
    bool fontAtDocking = true;
    shell_.OnMessage([&](Target, UINT message, WPARAM, LPARAM lParam) {
        HWND docked = reinterpret_cast<HWND>(lParam);
        if (message == shell::kSlitAdd) fontAtDocking = SendMessageA(docked, WM_GETFONT, 0, 0);
    });
    EXPECT_EQ(beginEx_(module_, shell_.slit()), 0);
    HWND box = Box();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(shell_.Matches({Registration(shell::kRegisterMessages, box),
                                Call("MakeSticky", box), ToSlit(shell::kSlitAdd, box)}));
    EXPECT_FALSE(fontAtDocking) << "docked before the font is applied";
    EXPECT_NE(SendMessageA(box, WM_GETFONT, 0, 0), 0) << "and then the font is applied";
    EXPECT_EQ(GetAncestor(box, GA_PARENT), shell_.slit()) << "the slit's child";
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_EQ(r.bottom - r.top, 20) << "the default style's height";

    shell_.Clear();
    end_();
    EXPECT_TRUE(
        shell_.Matches({ToSlit(shell::kSlitRemove, box),
                        Registration(shell::kUnregisterMessages, box), Call("RemoveSticky", box)}));
    EXPECT_FALSE(IsWindow(box));
    end_();  // a second stop does nothing
}

TEST_F(StartStopTest, FloatsWithoutASlitOrWhenNotWanted) {
    Settings("torvex.inslit: true\ntorvex.x: 10\ntorvex.y: 20\ntorvex.width: 120\n");
    EXPECT_EQ(begin_(module_), 0);
    HWND box = Box();
    EXPECT_TRUE(shell_.Matches({Registration(shell::kRegisterMessages, box)}));
    char className[16] = "";
    GetClassNameA(box, className, sizeof(className));
    EXPECT_STREQ(className, "Edit");
    // Popup, visible, multi-line, auto-scrolled; the system adds WS_CLIPSIBLINGS of its own.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(box, GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x90000084u);
    EXPECT_EQ(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 120);
    shell_.Clear();
    end_();
    EXPECT_TRUE(shell_.Matches({Registration(shell::kUnregisterMessages, box)}));

    Settings("torvex.inslit: false\n");
    shell_.Clear();
    EXPECT_EQ(beginEx_(module_, shell_.slit()), 0);
    EXPECT_TRUE(shell_.Matches({Registration(shell::kRegisterMessages, Box())}));
}

TEST_F(StartStopTest, StartsWithoutTheEngineAndComplainsOnlyWhenALineRuns) {
    ASSERT_TRUE(MoveFileA("quorlin.dll", "quorlin.dll.away"));
    testsupport::ModalDriver closer;
    EXPECT_EQ(beginEx_(module_, shell_.slit()), 0);
    HWND box = Box();
    EXPECT_TRUE(IsWindowVisible(box));
    shell_.Pump(100);
    EXPECT_TRUE(closer.Seen().empty());
    SetWindowTextA(box, "notepad");
    SendMessageA(box, WM_CHAR, 13, 0);
    ASSERT_EQ(closer.Seen().size(), 1u);
    EXPECT_EQ(closer.Seen()[0].text, "Can't load DLL: quorlin.dll");
    end_();
    MoveFileA("quorlin.dll.away", "quorlin.dll");
}

// A copy of the plug-in in a folder of its own, with an engine of its own beside it: that
// engine is the one loaded, whatever the program's folder holds, and it is freed at stop.
TEST_F(StartStopTest, LoadsTheEngineFromThePluginsOwnFolder) {
    testsupport::TempShellFolder pluginFolder{"torvex-own-folder"};
    std::string plugin = pluginFolder.path() + "torvex.dll";
    std::string engine = pluginFolder.path() + "quorlin.dll";
    ASSERT_TRUE(CopyFileA("torvex.dll", plugin.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA("recording_engine.dll", engine.c_str(), FALSE));
    HMODULE copy = LoadLibraryA(plugin.c_str());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(GetModuleHandleA(engine.c_str()), nullptr);

    EXPECT_EQ(Export<BeginPluginEx>(copy, "beginPluginEx")(copy, shell_.slit()), 0);
    EXPECT_NE(GetModuleHandleA(engine.c_str()), nullptr);
    Export<EndPlugin>(copy, "endPlugin")();
    EXPECT_EQ(GetModuleHandleA(engine.c_str()), nullptr);

    FreeLibrary(copy);
    for (const std::string& file : {plugin, engine, pluginFolder.path() + "history.txt"}) {
        DeleteFileA(file.c_str());
    }
}

// A slit that repaints its child at once while it gives it back, after the stop has freed the
// textures: the box draws nothing of the style, and nothing crashes.
TEST_F(StartStopTest, ASlitThatRepaintsTheBoxAtStopFindsNothingFreedInUse) {
    Settings("torvex.inslit: true\n");
    ASSERT_EQ(beginEx_(module_, shell_.slit()), 0);
    testsupport::FaultWatch watch;
    int repaints = 0;
    shell_.OnMessage([&](Target target, UINT message, WPARAM, LPARAM lParam) {
        if (target != Target::kSlit || message != shell::kSlitRemove) return;
        RedrawWindow(reinterpret_cast<HWND>(lParam), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW);
        ++repaints;
    });
    end_();
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(watch.Faults(), 0);
}

// The shell stops the plug-in while a line's message box is open (Quit picked meanwhile, the
// session ending), or restarts it and stops it again: the stop messages go out at once, in the
// usual order, the run finishes when the box is closed, and only then are the instance and the
// engine freed; the DLL stays loaded meanwhile.
struct StopFromTimer {
    EndPlugin end = nullptr;
    HMODULE shellsReference = nullptr;
    std::string caption;
    BeginPluginEx restart = nullptr;  // when set: restarted and stopped again, box still open
    HWND slit = nullptr;
} stopFromTimer;

void CALLBACK StopWhileADialogShows(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA("#32770", nullptr);
    if (dialog == nullptr || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, timer);
    char caption[64] = "";
    GetWindowTextA(dialog, caption, sizeof(caption));
    stopFromTimer.caption = caption;
    stopFromTimer.end();
    FreeLibrary(stopFromTimer.shellsReference);  // as the shell unloads the plug-in at once
    if (stopFromTimer.restart != nullptr) {
        HMODULE again = LoadLibraryA("torvex.dll");
        stopFromTimer.restart(again, stopFromTimer.slit);
        stopFromTimer.end();
        FreeLibrary(again);
    }
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(StartStopTest, AStopWhileALineRunsWaitsForTheRunToReturn) {
    struct Case {
        const char* line;
        bool withEngine;
        const char* caption;
        bool restart;
    };
    char engine[MAX_PATH];
    GetFullPathNameA("quorlin.dll", MAX_PATH, engine, nullptr);
    for (const Case& run :
         {Case{"notepad", false, "bug:", false}, Case{"torvex-no-such-program", true, "Run", false},
          Case{"notepad", false, "bug:", true}}) {
        SCOPED_TRACE(run.caption);
        if (!run.withEngine) {
            ASSERT_TRUE(MoveFileA("quorlin.dll", "quorlin.dll.away"));
        }
        DeleteFileA("history.txt");
        Settings("torvex.inslit: true\n");
        shell_.Clear();
        ASSERT_EQ(beginEx_(module_, shell_.slit()), 0);
        HWND box = Box();
        stopFromTimer = {end_, LoadLibraryA("torvex.dll"), "", run.restart ? beginEx_ : nullptr,
                         shell_.slit()};
        testsupport::FaultWatch watch;
        SetTimer(nullptr, 0, 50, StopWhileADialogShows);
        SetWindowTextA(box, run.line);
        SendMessageA(box, WM_CHAR, 13, 0);

        EXPECT_EQ(stopFromTimer.caption, run.caption);
        EXPECT_EQ(watch.Faults(), 0) << "nothing freed was read when the box returned";
        EXPECT_FALSE(IsWindow(box));
        if (!run.restart) {
            EXPECT_TRUE(shell_.Matches(
                {Registration(shell::kRegisterMessages, box), ToSlit(shell::kSlitAdd, box),
                 ToSlit(shell::kSlitRemove, box), Registration(shell::kUnregisterMessages, box)}));
        }
        std::ifstream history("history.txt", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(history), {}),
                  std::string(run.line) + "\r\n")
            << "the run finished and recorded its line";
        EXPECT_EQ(GetModuleHandleA(engine), nullptr) << "the engine is freed after the run";
        if (!run.withEngine) MoveFileA("quorlin.dll.away", "quorlin.dll");
    }
    // Only the plug-in's own reference is left beside this fixture's: it lasts until a start.
    FreeLibrary(module_);
    EXPECT_NE(GetModuleHandleA("torvex.dll"), nullptr) << "the DLL stayed loaded for the run";
    module_ = LoadLibraryA("torvex.dll");
    beginEx_ = Export<BeginPluginEx>(module_, "beginPluginEx");
    end_ = Export<EndPlugin>(module_, "endPlugin");
    ASSERT_EQ(beginEx_(module_, shell_.slit()), 0) << "and the plug-in starts again";
}

// The DLL named twice in the shell's list: the second start is refused and changes nothing, and
// the first box keeps running its own lines.
TEST_F(StartStopTest, ASecondStartWhileRunningIsRefused) {
    ASSERT_EQ(beginEx_(module_, shell_.slit()), 0);
    HWND box = Box();
    shell_.Clear();
    EXPECT_EQ(beginEx_(module_, shell_.slit()), 1);
    EXPECT_EQ(begin_(module_), 1);
    EXPECT_TRUE(shell_.Matches({})) << "no second box was registered";
    SetWindowTextA(box, ".reconfig");
    SendMessageA(box, WM_CHAR, 13, 0);
    shell_.Pump();
    EXPECT_TRUE(shell_.Matches({{Target::kMain, shell::kReconfigure, Delivery::kPosted}}));
    end_();
    EXPECT_FALSE(IsWindow(box));
}

// A box that cannot be created: nothing is registered, made sticky or docked, and the shell
// hears of the failure; the next start works.
LRESULT CALLBACK RefuseEditWindows(int code, WPARAM wParam, LPARAM lParam) {
    char name[16] = "";
    if (code == HCBT_CREATEWND) GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof(name));
    if (lstrcmpiA(name, "Edit") == 0) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(StartStopTest, AStartWhoseBoxCannotBeMadeFails) {
    Settings("torvex.inslit: true\n");
    shell_.RecordCalls({"MakeSticky"});
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseEditWindows, nullptr, GetCurrentThreadId());
    EXPECT_EQ(beginEx_(module_, shell_.slit()), 1);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(shell_.Matches({}));
    EXPECT_EQ(beginEx_(module_, shell_.slit()), 0);
    EXPECT_NE(Box(), nullptr);
}

// The same answers before a start, while started and after the stop.
TEST_F(StartStopTest, PluginInfoAnswersEveryFieldWithOrWithoutAnInstance) {
    auto info = Export<PluginInfo>(module_, "pluginInfo");
    ASSERT_NE(info, nullptr);
    for (int round = 0; round < 3; ++round) {
        EXPECT_STREQ(info(1), "Torvex");
        EXPECT_STREQ(info(2), "0.1");
        EXPECT_GT(std::strlen(info(3)), 0u) << "the author";
        EXPECT_STREQ(info(4), "22 01 2004");
        EXPECT_GT(std::strlen(info(6)), 0u) << "the contact";
        for (int field : {0, 7, -1, 1000}) EXPECT_STREQ(info(field), "Torvex 0.1 (22 01 2004)");
        EXPECT_STREQ(info(5), "") << "the empty text, even after the combined one";
        if (round == 0) beginEx_(module_, shell_.slit());
        if (round == 1) end_();
    }
}

}  // namespace
