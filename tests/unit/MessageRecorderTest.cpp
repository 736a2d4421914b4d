// The recorder that most tests compare against: it tells sent from posted and main from slit,
// leaves the system's own traffic out, and a sequence that differs in any way fails.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/ShellMessages.h"
#include "tests/support/MessageRecorder.h"

namespace {

using testsupport::Delivery;
using testsupport::Expected;
using testsupport::Target;

TEST(MessageRecorder, TellsSentFromPostedAndFailsOnAnyDifference) {
    testsupport::MessageRecorder shell;
    PostMessageA(shell.main(), shell::kQuit, 0, 0);
    SendMessageA(shell.main(), shell::kReconfigure, 0, 0);
    MoveWindow(shell.slit(), 5, 5, 50, 50, TRUE);
    shell.Pump();
    const Expected sent = {Target::kMain, shell::kReconfigure, Delivery::kSent};
    const Expected posted = {Target::kMain, shell::kQuit, Delivery::kPosted};
    EXPECT_TRUE(shell.Matches({sent, posted})) << "posted ones are recorded as they are taken";
    EXPECT_FALSE(shell.Matches({posted, sent}));
    EXPECT_FALSE(shell.Matches({sent}));
    EXPECT_FALSE(shell.Matches({{Target::kSlit, shell::kReconfigure, Delivery::kSent}, posted}));
    EXPECT_FALSE(shell.Matches({{Target::kMain, shell::kReconfigure, Delivery::kPosted}, posted}));
    EXPECT_FALSE(shell.Matches({sent, {Target::kMain, shell::kQuit, Delivery::kPosted, 1}}));
}

}  // namespace
