#pragma once
// The real torvex.dll, copied into a folder of its own with an engine of the test's choice as its
// quorlin.dll, started in the message recorder's shell: floating, or docked in a slit that makes
// it its child. Lines are typed with keys as a keyboard brings them.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "shell/PluginExports.h"
#include "shell/StandIn.h"
#include "tests/support/Keyboard.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempShellFolder.h"
#include "tests/support/Text.h"

namespace testsupport {

// The box's worker holds the DLL until it has finished what it was doing at the stop (on a local
// disk, milliseconds): waited for, with a bound, so that the next start loads the DLL anew.
inline bool WaitUntilUnloaded(const std::string& path) {
    constexpr ULONGLONG kMostMilliseconds = 20000;
    const ULONGLONG start = GetTickCount64();
    while (GetModuleHandleA(path.c_str()) != nullptr) {
        if (GetTickCount64() - start > kMostMilliseconds) return false;
        Sleep(10);
    }
    return true;
}

struct BoxAndEngine {
    const char* engine;
    bool docked;
};
class RealPlugin : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::SetShellFolder(shell_folder_.path());  // the second folder is the plug-in's
        standin::SetMainWindow(shell_.main());
    }
    void TearDown() override {
        Stop();
        standin::SetMainWindow(nullptr);
        for (const char* name :
             {"torvex.dll", "quorlin.dll", "history.txt", "history.counts.txt"}) {
            DeleteFileA(InPlugin(name).c_str());
        }
    }
    std::string InPlugin(const char* name) const { return plugin_folder_.path() + name; }

    // `settings`: more of torvex.rc.
    void Start(const BoxAndEngine& setup, const std::string& settings = "") {
        ASSERT_TRUE(CopyFileA("torvex.dll", InPlugin("torvex.dll").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(setup.engine, InPlugin("quorlin.dll").c_str(), FALSE));
        shell_folder_.Write("torvex.rc", (setup.docked ? "torvex.inslit: true\n" : "") + settings);
        module_ = LoadLibraryA(InPlugin("torvex.dll").c_str());
        ASSERT_NE(module_, nullptr);
        auto begin = standin::Export<standin::BeginPluginEx>(module_, "beginPluginEx");
        shell_.Clear();
        ASSERT_EQ(begin(module_, shell_.slit()), 0);
        ASSERT_FALSE(shell_.messages().empty());
        box_ = reinterpret_cast<HWND>(shell_.messages()[0].wParam);  // as registered
        HWND parent = setup.docked ? shell_.slit() : GetDesktopWindow();
        ASSERT_EQ(GetAncestor(box_, GA_PARENT), parent) << "a child of the slit when docked";
        shell_.Clear();
    }
    void Stop() {
        if (module_ == nullptr) return;
        standin::Export<standin::EndPlugin>(module_, "endPlugin")();
        FreeLibrary(module_);
        module_ = nullptr;
        EXPECT_TRUE(WaitUntilUnloaded(InPlugin("torvex.dll"))) << "the worker ended";
    }
    std::string EngineGot() {
        HMODULE engine = GetModuleHandleA(InPlugin("quorlin.dll").c_str());
        using Take = const char* (*)();
        auto take = standin::Export<Take>(engine, "TakeRecordedLines");
        return take != nullptr ? take() : "(no engine)";
    }
    std::string Field() {
        wchar_t text[4097] = L"";
        GetWindowTextW(box_, text, 4097);
        return testsupport::Utf8(text);
    }
    std::string HistoryFile() {
        std::ifstream in(InPlugin("history.txt"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Run(const std::string& line) {
        testsupport::TypeText(box_, line);
        testsupport::PressEnter(box_);
        shell_.Pump();
    }

    testsupport::MessageRecorder shell_;
    testsupport::TempShellFolder shell_folder_{"torvex-lines-shell"};
    testsupport::TempShellFolder plugin_folder_{"torvex-lines-plugin"};
    HMODULE module_ = nullptr;
    HWND box_ = nullptr;
};

}  // namespace testsupport
