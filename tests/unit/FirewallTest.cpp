// Memory running out at any one allocation inside the plug-in: no exception reaches the shell
// through an exported function or the window procedure, and a failed start leaves nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host/ShellMessages.h"
#include "plugin/Entry.h"
#include "plugin/TorvexPlugin.h"
#include "shell/StandIn.h"
#include "tests/support/Allocations.h"
#include "tests/support/MessageRecorder.h"

namespace {

using testsupport::MessageRecorder;

constexpr int kMostAllocations = 400;

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
    HWND box = thePlugin->editWindow;
    struct Message {
        UINT message;
        WPARAM wParam;
    };
    // Enter (the line is recorded and written) and the reconfigure (settings, style, font).
    for (Message sent : {Message{WM_CHAR, 13}, Message{shell::kReconfigure, 0}}) {
        int swept = FailEachAllocationOf([&](int nth) {
            // Each run records a line of its own, so that each one is written to the file.
            SetWindowTextA(box, ("@sweep " + std::to_string(nth)).c_str());
            EXPECT_NO_THROW(SendMessageA(box, sent.message, sent.wParam, 0));
        });
        EXPECT_TRUE(IsWindow(box)) << sent.message;
        EXPECT_GT(swept, 0) << sent.message;
    }
    shell_.Pump();
}

}  // namespace
