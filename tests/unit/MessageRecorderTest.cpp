// The recorder tells sent from posted messages and compares whole sequences.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/ShellMessages.h"
#include "tests/support/MessageRecorder.h"

namespace {

using testsupport::Delivery;
using testsupport::Expected;
using testsupport::MessageRecorder;
using testsupport::Target;

TEST(MessageRecorder, RecordsSentAndPostedInOrder) {
    MessageRecorder shell;
    PostMessageA(shell.main(), shell::kQuit, 0, 0);
    SendMessageA(shell.main(), shell::kRegisterMessages, 77,
                 reinterpret_cast<LPARAM>(shell::kBoxMessages));
    SendMessageA(shell.slit(), shell::kSlitAdd, 0, 1234);
    static const char text[] = "@NMShowPlugins";
    PostMessageA(shell.main(), shell::kBroadcast, 0, reinterpret_cast<LPARAM>(text));
    shell.Pump();

    EXPECT_TRUE(shell.Matches({
        {Target::kMain, shell::kRegisterMessages, Delivery::kSent, 77, 0, "10901,10103", true},
        {Target::kSlit, shell::kSlitAdd, Delivery::kSent, 0, 1234},
        {Target::kMain, shell::kQuit, Delivery::kPosted},
        {Target::kMain, shell::kBroadcast, Delivery::kPosted, 0, 0, "@NMShowPlugins", true},
    }));
}

TEST(MessageRecorder, ReportsADifference) {
    MessageRecorder shell;
    SendMessageA(shell.main(), shell::kReconfigure, 0, 0);
    EXPECT_FALSE(shell.Matches({{Target::kMain, shell::kReconfigure, Delivery::kPosted}}));
    EXPECT_FALSE(shell.Matches({{Target::kSlit, shell::kReconfigure, Delivery::kSent}}));
    EXPECT_FALSE(shell.Matches({}));
    EXPECT_TRUE(shell.Matches({{Target::kMain, shell::kReconfigure, Delivery::kSent}}));
}

TEST(MessageRecorder, IgnoresTheSystemsOwnTraffic) {
    MessageRecorder shell;
    SendMessageA(shell.main(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
    MoveWindow(shell.slit(), 5, 5, 50, 50, TRUE);
    shell.Pump();
    EXPECT_TRUE(shell.Matches({}));
}

}  // namespace
