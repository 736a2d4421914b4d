// The stand-in shell: its readers, text helpers, textures, main window and slit behave as the
// plug-in relies on.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "host/NimbarApi.h"
#include "host/ShellMessages.h"
#include "shell/StandIn.h"
#include "tests/support/Canvas.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempShellFolder.h"

namespace {

using testsupport::Canvas;
using testsupport::Delivery;
using testsupport::MessageRecorder;
using testsupport::Target;

class ShellFolderTest : public ::testing::Test {
  protected:
    std::string Write(const char* name, const std::string& text) {
        return shellFolder_.Write(name, text);
    }
    testsupport::TempShellFolder shellFolder_{"torvex-shell-test"};
    const std::string folder_ = shellFolder_.path();
};

TEST_F(ShellFolderTest, ReadsKeysIgnoringCaseAndComments) {
    std::string rc = Write("test.rc",
                           "# torvex.x: 99\n"
                           "! torvex.y: 98\n"
                           "Torvex.X:    12   \n"
                           "torvex.y: -40\n"
                           "torvex.width: 12abc\n"
                           "torvex.inslit: TRUE\n"
                           "torvex.easteregg.noWho: maybe\n"
                           "toolbar.color: #FF8000\n"
                           "toolbar.colorTo: #f80\n"
                           "toolbar.label.color: orange\n"
                           "toolbar: Raised Gradient Diagonal\n"
                           "*font: Tahoma\n");
    const char* path = rc.c_str();
    EXPECT_EQ(ReadInt(path, "torvex.x:", 0), 12);
    EXPECT_EQ(ReadInt(path, "torvex.y:", 0), -40);
    EXPECT_EQ(ReadInt(path, "torvex.width:", 100), 100) << "not a number: the default";
    EXPECT_TRUE(ReadBool(path, "torvex.inslit:", false));
    EXPECT_TRUE(ReadBool(path, "torvex.easteregg.noWho:", true));
    EXPECT_FALSE(ReadBool(path, "torvex.easteregg.noWho:", false));
    EXPECT_EQ(ReadColor(path, "toolbar.color:", "#000000"), RGB(255, 128, 0));
    EXPECT_EQ(ReadColor(path, "toolbar.colorTo:", "#000000"), RGB(255, 136, 0));
    EXPECT_EQ(ReadColor(path, "toolbar.label.color:", "#0000FF"), RGB(0, 0, 255));
    EXPECT_STREQ(ReadString(path, "toolbar:", "x"), "Raised Gradient Diagonal");
    EXPECT_STREQ(ReadString(path, "*font:", "x"), "Tahoma");
    EXPECT_STREQ(ReadString(path, "toolbar.font:", "courier new"), "courier new");
    EXPECT_EQ(ReadInt((folder_ + "missing.rc").c_str(), "torvex.x:", 7), 7);
}

TEST_F(ShellFolderTest, PathsLieInTheShellFolder) {
    char buffer[4096];
    EXPECT_EQ(std::string(GetNimbarPath(buffer, sizeof(buffer))), folder_);
    EXPECT_EQ(std::string(nmrcPath(nullptr)), folder_ + "nimbar.rc");
    EXPECT_EQ(std::string(extensionsrcPath(nullptr)), folder_ + "extensions.rc");
    EXPECT_EQ(std::string(stylePath(nullptr)), folder_ + "style.rc");
    Write("nimbar.rc", "session.styleFile: mystyle.rc\n");
    EXPECT_EQ(std::string(stylePath(nullptr)), folder_ + "mystyle.rc");

    char small[8];
    GetNimbarPath(small, sizeof(small));
    EXPECT_EQ(std::strlen(small), 7u) << "the buffer's size is kept";
    EXPECT_TRUE(FileExists(nmrcPath(nullptr)));
    EXPECT_FALSE(FileExists(stylePath(nullptr)));
    EXPECT_FALSE(FileExists(folder_.c_str())) << "a folder is not a file";
}

TEST(StandInText, FindsWordsIgnoringCase) {
    EXPECT_TRUE(IsInString("@castpad toggle slit", "@Castpad"));
    EXPECT_TRUE(IsInString("x @CASTPAD", "@Castpad"));
    EXPECT_FALSE(IsInString("@Castpa", "@Castpad"));
}

TEST(StandInText, TokenizesWordsQuotesAndTheRest) {
    char first[4096], second[4096], rest[4096];
    char* tokens[] = {first, second};
    EXPECT_EQ(NMTokenize("@Castpad Toggle Slit", tokens, 2, rest), 2);
    EXPECT_STREQ(first, "@Castpad");
    EXPECT_STREQ(second, "Toggle");
    EXPECT_STREQ(rest, "Slit");

    NMTokenize("  a   \"b c\"   rest  of it", tokens, 2, rest);
    EXPECT_STREQ(second, "b c");
    EXPECT_STREQ(rest, "rest  of it");

    EXPECT_EQ(NMTokenize("lonely", tokens, 2, rest), 1);
    EXPECT_STREQ(second, "");
    EXPECT_STREQ(rest, "");

    std::string huge(10000, 'w');
    NMTokenize((huge + " " + huge + " " + huge).c_str(), tokens, 2, rest);
    EXPECT_EQ(std::strlen(first), 4095u) << "writes stay inside the buffers";
    EXPECT_EQ(std::strlen(rest), 4095u);
}

TEST(StandInTexture, DrawsGradientsBordersAndBevels) {
    Canvas canvas;
    RECT all = {0, 0, Canvas::kWidth, Canvas::kHeight};
    const int vertical = static_cast<int>(standin::TextureKind::kVertical);
    MakeGradient(canvas.dc(), all, vertical, RGB(0, 0, 0), RGB(255, 255, 255), false, 0, 1, 1,
                 RGB(255, 0, 0), 1);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 0)) << "border";
    EXPECT_EQ(canvas.At(99, 19), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(50, 1), RGB(0, 0, 0)) << "the gradient starts at the top";
    EXPECT_EQ(canvas.At(50, 18), RGB(255, 255, 255)) << "and ends at the bottom";
    EXPECT_LT(GetRValue(canvas.At(50, 8)), GetRValue(canvas.At(50, 12)));

    const int solid = static_cast<int>(standin::TextureKind::kSolid);
    const int raised = static_cast<int>(standin::BevelStyle::kRaised);
    MakeGradient(canvas.dc(), all, solid, RGB(100, 100, 100), RGB(100, 100, 100), false, raised, 1,
                 1, RGB(0, 0, 0), 0);
    EXPECT_GT(GetRValue(canvas.At(0, 0)), 100) << "raised: light at the top left";
    EXPECT_LT(GetRValue(canvas.At(99, 19)), 100) << "dark at the bottom right";
    EXPECT_EQ(canvas.At(50, 10), RGB(100, 100, 100));

    const int diagonal = static_cast<int>(standin::TextureKind::kDiagonal);
    MakeGradient(canvas.dc(), all, diagonal, RGB(0, 0, 0), RGB(200, 200, 200), true, 0, 1, 1,
                 RGB(0, 0, 0), 0);
    EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 0)) << "diagonal: from the top left";
    EXPECT_GT(GetRValue(canvas.At(99, 18)), 190) << "to the bottom right";
    EXPECT_EQ(canvas.At(99, 19), RGB(0, 0, 0)) << "interlaced: every other row darker";
}

TEST(StandInWindows, ForwardRegisteredMessagesAndDockInTheSlit) {
    MessageRecorder box;  // its main window stands for a plug-in window
    standin::ShellWindows shell = standin::CreateShellWindows(GetModuleHandleA(nullptr), {});
    HWND plugin = box.main();
    SendMessageA(shell.main, shell::kRegisterMessages, reinterpret_cast<WPARAM>(plugin),
                 reinterpret_cast<LPARAM>(shell::kBoxMessages));
    EXPECT_TRUE(standin::IsRegistered(plugin, shell::kBroadcast));

    static const char hideOff[] = "@NMSlit Toggle Hide Off";
    SendMessageA(shell.main, shell::kBroadcast, 0, reinterpret_cast<LPARAM>(hideOff));
    EXPECT_FALSE(standin::SlitAutoHide());
    static const char hideOn[] = "@nmslit toggle hide on";
    SendMessageA(shell.main, shell::kBroadcast, 0, reinterpret_cast<LPARAM>(hideOn));
    EXPECT_TRUE(standin::SlitAutoHide());
    PostMessageA(shell.main, shell::kReconfigure, 0, 0);
    box.Pump();
    EXPECT_TRUE(box.Matches({
        {Target::kMain, shell::kBroadcast, Delivery::kSent, 0, 0, hideOff, true},
        {Target::kMain, shell::kBroadcast, Delivery::kSent, 0, 0, hideOn, true},
        {Target::kMain, shell::kReconfigure, Delivery::kSent},
    }));

    box.Clear();
    SendMessageA(shell.main, shell::kUnregisterMessages, reinterpret_cast<WPARAM>(plugin),
                 reinterpret_cast<LPARAM>(shell::kBoxMessages));
    SendMessageA(shell.main, shell::kReconfigure, 0, 0);
    EXPECT_TRUE(box.Matches({})) << "nothing after unregistering";

    HWND edit = CreateWindowExA(WS_EX_TOOLWINDOW, "Edit", nullptr, WS_POPUP | WS_VISIBLE, 300, 300,
                                100, 20, nullptr, nullptr, nullptr, nullptr);
    SendMessageA(shell.slit, shell::kSlitAdd, 0, reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(GetParent(edit), shell.slit);
    EXPECT_TRUE(standin::IsInSlit(edit));
    SendMessageA(shell.slit, shell::kSlitRemove, 0, reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(GetAncestor(edit, GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(standin::IsInSlit(edit));
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & WS_POPUP);

    DestroyWindow(edit);
    standin::DestroyShellWindows(shell);
}

TEST(StandInWindows, APickedMenuItemSendsItsBroadcastToTheMainWindow) {
    MessageRecorder box;
    standin::ShellWindows shell = standin::CreateShellWindows(GetModuleHandleA(nullptr), {});
    SendMessageA(shell.main, shell::kRegisterMessages, reinterpret_cast<WPARAM>(box.main()),
                 reinterpret_cast<LPARAM>(shell::kBoxMessages));
    Menu* menu = MakeMenu("c@stpad");
    MakeMenuItem(menu, "In Slit", "@Castpad Toggle Slit", true);

    {
        testsupport::ModalDriver pick({VK_UP, VK_RETURN});
        ShowMenu(menu);
    }
    EXPECT_TRUE(box.Matches(
        {{Target::kMain, shell::kBroadcast, Delivery::kSent, 0, 0, "@Castpad Toggle Slit", true}}));
    DelMenu(menu);
    standin::DestroyShellWindows(shell);
}

}  // namespace
