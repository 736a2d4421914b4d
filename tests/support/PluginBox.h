#pragma once
// The plug-in's code as linked into this program, started on a real box by its own CreateBox:
// the message recorder stands for the shell, the recording engine for the engine and a folder
// under %TEMP% for the shell's folder; a spy sits between the box and the Edit class.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "plugin/TorvexPlugin.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempShellFolder.h"

namespace testsupport {

struct PassedOn {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class PluginBox : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Reads the settings written so far, and creates and registers the box.
    void Start(bool withSlit = false);
    HWND box() const { return plugin_->editWindow; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void Run(const std::string& line);  // the line (UTF-8) in the box, then Enter
    void Broadcast(const std::string& text);
    void Write(const char* name, const std::string& text) { folder_.Write(name, text); }
    std::string Field();  // in UTF-8, whole
    std::string HistoryFile();
    std::string EngineGot();  // the lines the engine was given since last asked, joined by "|"
    // The Edit class got this message with this wParam from the box's procedure.
    static bool WasPassedOn(UINT message, WPARAM wParam);
    static const std::vector<PassedOn>& Passed();  // all, in order, since the last forgetting
    static void ForgetPassedOn();

    MessageRecorder shell_;
    TempShellFolder folder_{"torvex-box-shell"};
    std::unique_ptr<TorvexPlugin> plugin_;
    std::string historyPath_;
    std::string countsPath_;
};

}  // namespace testsupport
