// The box's window procedure with real messages to a real subclassed Edit window: what it
// handles, what reaches the Edit class, docking, the slit's auto-hide and the context menu.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "appearance/WineColorRouting.h"
#include "host/ShellMessages.h"
#include "plugin/TorvexPlugin.h"
#include "shell/StandIn.h"
#include "tests/support/MenuDriver.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempShellFolder.h"
#include "window/EditProc.h"

namespace {

using testsupport::Delivery;
using testsupport::Expected;
using testsupport::MessageRecorder;
using testsupport::Target;

struct Passed {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Passed> passedOn;
WNDPROC editClassProc = nullptr;

// Sits between EditProc and the Edit class, noting what is passed on.
LRESULT CALLBACK SpyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    passedOn.push_back({message, wParam, lParam});
    return CallWindowProcA(editClassProc, window, message, wParam, lParam);
}

bool WasPassedOn(UINT message, WPARAM wParam) {
    for (const Passed& p : passedOn) {
        if (p.message == message && p.wParam == wParam) return true;
    }
    return false;
}

std::vector<std::string> menuEvents;
void RecordMenu(standin::MenuEvent event, const Menu* menu) {
    const char* names[] = {"made", "shown", "deleted"};
    std::string text = names[static_cast<int>(event)];
    if (event == standin::MenuEvent::kShown) {
        text += standin::MenuItemChecked(menu, 0) ? " checked" : " unchecked";
    }
    menuEvents.push_back(text);
}

class BoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::SetMainWindow(shell_.main());
        Write("torvex.rc", "torvex.x: 30\ntorvex.y: 40\ntorvex.width: 150\n");
    }
    void Start(bool withSlit) {
        static HMODULE engine = LoadLibraryA("recording_engine.dll");
        HINSTANCE instance = GetModuleHandleA(nullptr);
        plugin_ = std::make_unique<TorvexPlugin>(instance, withSlit ? shell_.slit() : nullptr);
        thePlugin = plugin_.get();
        plugin_->ReadSettings();
        plugin_->engineModule = engine;
        plugin_->editWindow =
            CreateWindowExA(WS_EX_TOOLWINDOW, "Edit", nullptr,
                            WS_POPUP | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL, plugin_->x,
                            plugin_->y, plugin_->width, plugin_->height,
                            torvex::ColorRoutingOwner(instance), nullptr, instance, nullptr);
        editClassProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            plugin_->editWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
        plugin_->defaultEditProc = SpyProc;
        plugin_->ApplyFont();
        shell_.Pump();
        shell_.Clear();
        passedOn.clear();
    }
    void TearDown() override {
        SetControl(false);
        standin::SetMenuObserver(nullptr);
        if (plugin_) {
            if (plugin_->menu) DelMenu(plugin_->menu);
            DestroyWindow(plugin_->editWindow);
            DeleteObject(plugin_->font);
            delete plugin_->toolbarTexture;
            delete plugin_->labelTexture;
            DeleteFileA((std::string(plugin_->GetPluginFolder()) + "history.txt").c_str());
        }
        thePlugin = nullptr;
        standin::SetMainWindow(nullptr);
    }
    void Write(const char* name, const std::string& text) { folder_.Write(name, text); }
    HWND box() const { return plugin_->editWindow; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(box(), message, wParam, lParam);
    }
    void Broadcast(const std::string& text) {
        Send(shell::kBroadcast, 0, reinterpret_cast<LPARAM>(text.c_str()));
        shell_.Pump();
    }
    std::string Field() {
        char text[256] = "";
        GetWindowTextA(box(), text, sizeof(text));
        return text;
    }
    std::string HistoryFile() {
        std::ifstream in(std::string(plugin_->GetPluginFolder()) + "history.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    RECT Placement() {
        RECT r;
        GetWindowRect(box(), &r);
        return r;
    }
    // A real key press: GetAsyncKeyState sees it only after the input has gone round the system.
    void SetControl(bool down) {
        keybd_event(VK_CONTROL, 0, down ? 0 : KEYEVENTF_KEYUP, 0);
        shell_.Pump(200);
    }
    Expected ToSlit(UINT message) {
        return {Target::kSlit, message, Delivery::kSent, 0, reinterpret_cast<LPARAM>(box())};
    }
    Expected ToShell(const char* broadcast) {
        return {Target::kMain, shell::kBroadcast, Delivery::kSent, 0, 0, broadcast, true};
    }

    MessageRecorder shell_;
    std::unique_ptr<TorvexPlugin> plugin_;
    testsupport::TempShellFolder folder_{"torvex-box-shell"};
};

TEST_F(BoxTest, HandlesItsOwnMessagesAndPassesTheRestOn) {
    Start(true);
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_TRUE(IsWindow(box())) << "nothing the user does closes the box";
    EXPECT_EQ(Send(WM_ERASEBKGND), 1);
    EXPECT_FALSE(WasPassedOn(WM_CLOSE, 0));
    EXPECT_FALSE(WasPassedOn(WM_ERASEBKGND, 0));

    passedOn.clear();
    Send(WM_USER + 77, 5, 6);
    Send(WM_MOVE, 0, MAKELPARAM(30, 40));  // below 7
    ASSERT_EQ(passedOn.size(), 2u);
    EXPECT_EQ(passedOn[0].message, WM_USER + 77u);
    EXPECT_EQ(passedOn[0].wParam, 5u);
    EXPECT_EQ(passedOn[0].lParam, 6);
    EXPECT_EQ(passedOn[1].message, static_cast<UINT>(WM_MOVE));

    SetWindowTextA(box(), "hello");
    Send(WM_SETFOCUS);
    DWORD start = 1, end = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u) << "focus selects the whole line";
    EXPECT_TRUE(WasPassedOn(WM_SETFOCUS, 0));
    EXPECT_TRUE(shell_.Matches({})) << "floating: the slit is not held";
}

TEST_F(BoxTest, KeysDriveHistoryRepaintAndEnter) {
    Start(false);
    SetWindowTextA(box(), "calc");
    Send(WM_CHAR, 13);
    EXPECT_EQ(Field(), "") << "the line ran; no line break went into the field";
    EXPECT_FALSE(WasPassedOn(WM_CHAR, 13));
    Send(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(Field(), "calc");
    Send(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(Field(), "");
    SetWindowTextA(box(), "al");
    Send(WM_KEYDOWN, VK_SHIFT);
    EXPECT_EQ(Field(), "calc");
    EXPECT_FALSE(WasPassedOn(WM_KEYDOWN, VK_UP));
    EXPECT_FALSE(WasPassedOn(WM_KEYDOWN, VK_DOWN));
    EXPECT_FALSE(WasPassedOn(WM_KEYDOWN, VK_SHIFT));

    RECT dirty;
    ValidateRect(box(), nullptr);
    Send(WM_KEYDOWN, VK_OEM_PERIOD);
    EXPECT_FALSE(GetUpdateRect(box(), &dirty, FALSE)) << "punctuation does not repaint";
    EXPECT_TRUE(WasPassedOn(WM_KEYDOWN, VK_OEM_PERIOD));
    Send(WM_KEYDOWN, 'A');
    EXPECT_TRUE(GetUpdateRect(box(), &dirty, FALSE)) << "a letter repaints the whole box";
    EXPECT_TRUE(WasPassedOn(WM_KEYDOWN, 'A'));
}

void SetClipboardText(const char* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::memcpy(GlobalLock(block), text, std::strlen(text) + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

// Text with a line break, set by another program, pasted or typed with Ctrl+Enter, never runs
// or is recorded with the break in it.
TEST_F(BoxTest, ALineBreakNeverGetsIntoALine) {
    Start(false);
    SetWindowTextA(box(), "x\r\ny");
    Send(WM_CHAR, 13);
    EXPECT_STREQ(plugin_->history[0], "x");
    EXPECT_EQ(HistoryFile(), "x\r\n");

    Send(WM_CHAR, 10);
    EXPECT_FALSE(WasPassedOn(WM_CHAR, 10)) << "Ctrl+Enter";

    SetClipboardText("first\r\nsecond");
    SetWindowTextA(box(), "a ");
    Send(EM_SETSEL, 2, 2);
    Send(WM_PASTE);
    EXPECT_EQ(Field(), "a first") << "a paste takes the text before its first break";
}

TEST_F(BoxTest, CtrlMakesTheBoxACaption) {
    Start(true);
    RECT r = Placement();
    LPARAM inside = MAKELPARAM(r.left + 5, r.top + 5);
    EXPECT_NE(Send(WM_NCHITTEST, 0, inside), HTCAPTION);
    EXPECT_TRUE(WasPassedOn(WM_NCHITTEST, 0));
    SetControl(true);
    passedOn.clear();
    EXPECT_EQ(Send(WM_NCHITTEST, 0, inside), HTCAPTION);
    EXPECT_TRUE(passedOn.empty());
}

// Wine's default handling of a right press on a caption would swallow the release that opens
// the menu; only that press is kept from the Edit class there.
TEST_F(BoxTest, RightPressOnTheCaptionIsKeptFromTheEditClassUnderWine) {
    Start(true);
    EXPECT_EQ(Send(WM_NCRBUTTONDOWN, HTCAPTION, 0), 0);
    EXPECT_EQ(WasPassedOn(WM_NCRBUTTONDOWN, HTCAPTION), !torvex::RunningUnderWine());
    Send(WM_NCRBUTTONDOWN, HTBORDER, 0);
    EXPECT_TRUE(WasPassedOn(WM_NCRBUTTONDOWN, HTBORDER));
}

// What was still held when the box was about to be destroyed.
struct AtDestroy {
    HWND box = nullptr;
    bool seen = false;
    bool texturesHeld = false;
} atDestroy;

LRESULT CALLBACK WatchDestroy(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wParam) == atDestroy.box) {
        atDestroy.seen = true;
        atDestroy.texturesHeld = thePlugin->toolbarTexture || thePlugin->labelTexture;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(BoxTest, StopFreesTheTexturesBeforeTheBoxIsDestroyed) {
    Start(true);
    ASSERT_TRUE(plugin_->toolbarTexture && plugin_->labelTexture);
    atDestroy = {box(), false, true};
    HHOOK hook = SetWindowsHookExA(WH_CBT, WatchDestroy, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    plugin_->Stop();
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(atDestroy.seen);
    EXPECT_FALSE(atDestroy.texturesHeld);
    EXPECT_FALSE(IsWindow(atDestroy.box));
}

TEST_F(BoxTest, ReconfigureRereadsMovesAndRemakesTheFont) {
    Start(false);
    HFONT before = plugin_->font;
    Write("torvex.rc", "torvex.x: 60\ntorvex.y: 70\ntorvex.width: 250\n");
    SetWindowPos(box(), nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // dragged away
    EXPECT_EQ(Send(shell::kReconfigure), 0);
    RECT r = Placement();
    EXPECT_EQ(r.left, 60);
    EXPECT_EQ(r.top, 70);
    EXPECT_EQ(r.right - r.left, 250);
    EXPECT_EQ(r.bottom - r.top, plugin_->height);
    EXPECT_NE(plugin_->font, before);
    EXPECT_EQ(reinterpret_cast<HFONT>(Send(WM_GETFONT)), plugin_->font);
    EXPECT_FALSE(WasPassedOn(shell::kReconfigure, 0));
}

TEST_F(BoxTest, ShowAndHideInAnyCaseOnlyWhenFloating) {
    Start(true);
    Broadcast("@nmHIDEplugins");
    EXPECT_FALSE(IsWindowVisible(box()));
    SetWindowPos(box(), nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Broadcast("@NMShowPlugins");
    EXPECT_TRUE(IsWindowVisible(box()));
    EXPECT_EQ(Placement().left, 30) << "shown back at its place";
    Broadcast("@NMHidePlugins now");
    EXPECT_TRUE(IsWindowVisible(box())) << "a further word matches nothing";
    std::string huge = "@NMHidePlugins" + std::string(5000, ' ');
    Broadcast(huge);
    EXPECT_TRUE(IsWindowVisible(box()));

    Broadcast("@Castpad Toggle Slit");  // docked now: show and hide are the slit's business
    Broadcast("@NMHidePlugins");
    EXPECT_TRUE(IsWindowVisible(box()));
    EXPECT_TRUE(shell_.Matches({ToSlit(shell::kSlitAdd)}));
}

TEST_F(BoxTest, ToggleSlitDocksAndUndocks) {
    Start(true);
    Broadcast("@Castpad Toggle Slit");
    EXPECT_TRUE(plugin_->inSlit);
    Broadcast("@castpad TOGGLE sLIT");
    EXPECT_FALSE(plugin_->inSlit);
    Broadcast("@Castpad Toggle Slit please");
    Broadcast("@NMShowPlugins");  // still tested for the plug-in's own word; nothing happens
    EXPECT_EQ(Send(shell::kBroadcast, 0, 0), 0) << "a null text counts as the empty one";
    EXPECT_TRUE(shell_.Matches({ToSlit(shell::kSlitAdd), ToSlit(shell::kSlitRemove)}));
}

TEST_F(BoxTest, WithoutASlitNothingDocks) {
    Write("torvex.rc", "torvex.inslit: true\n");
    Start(false);
    EXPECT_FALSE(plugin_->IsInSlit());
    Broadcast("@Castpad Toggle Slit");
    Write("nimbar.rc", "session.screen0.slit.autohide: true\n");
    Send(WM_SETFOCUS);
    Send(WM_KILLFOCUS);
    EXPECT_TRUE(shell_.Matches({}));
}

TEST_F(BoxTest, ReconfigureChangesTheDockingFlagWithoutSlitMessages) {
    Start(true);
    Write("torvex.rc", "torvex.inslit: true\n");
    Send(shell::kReconfigure);
    EXPECT_TRUE(plugin_->IsInSlit()) << "counted as docked, though the slit was not told";
    Broadcast("@Castpad Toggle Slit");
    EXPECT_TRUE(shell_.Matches({ToSlit(shell::kSlitRemove)}));

    shell_.Clear();
    Broadcast("@Castpad Toggle Slit");
    Write("torvex.rc", "torvex.inslit: false\n");
    Send(shell::kReconfigure);
    Broadcast("@NMHidePlugins");
    EXPECT_FALSE(IsWindowVisible(box())) << "counted as floating again: hide acts";
    Broadcast("@Castpad Toggle Slit");
    EXPECT_TRUE(shell_.Matches({ToSlit(shell::kSlitAdd), ToSlit(shell::kSlitAdd)}));
}

TEST_F(BoxTest, FocusHoldsTheSlitOpenWhileDocked) {
    Write("nimbar.rc", "session.screen0.slit.autohide: true\n");
    Start(true);
    Send(WM_SETFOCUS);  // floating: nothing is read or sent
    Broadcast("@Castpad Toggle Slit");
    Send(WM_KILLFOCUS);
    shell_.Clear();

    Send(WM_SETFOCUS);
    Send(WM_SETFOCUS);  // read again, sent again
    Send(WM_KILLFOCUS);
    Send(WM_KILLFOCUS);  // once only
    Send(WM_SETFOCUS);
    SetWindowTextA(box(), ".reconfig");
    Send(WM_CHAR, 13);  // Enter hands the auto-hide back though the box keeps the focus
    shell_.Pump();
    EXPECT_TRUE(shell_.Matches({
        ToShell("@NMSlit Toggle Hide Off"),
        ToShell("@NMSlit Toggle Hide Off"),
        ToShell("@NMSlit Toggle Hide On"),
        ToShell("@NMSlit Toggle Hide Off"),
        ToShell("@NMSlit Toggle Hide On"),
        {Target::kMain, shell::kReconfigure, Delivery::kPosted},
    }));

    shell_.Clear();
    Send(WM_SETFOCUS);
    Write("nimbar.rc", "session.screen0.slit.autohide: false\n");
    Send(WM_SETFOCUS);  // held, setting now off: the flag is cleared, nothing sent
    Send(WM_KILLFOCUS);
    EXPECT_TRUE(shell_.Matches({ToShell("@NMSlit Toggle Hide Off")}));
    EXPECT_FALSE(plugin_->slitAutoHide);
}

TEST_F(BoxTest, UndockedWhileHeldSendsNothingOnFocusLoss) {
    Write("nimbar.rc", "session.screen0.slit.autohide: true\n");
    Start(true);
    Broadcast("@Castpad Toggle Slit");
    Send(WM_SETFOCUS);
    Broadcast("@Castpad Toggle Slit");
    shell_.Clear();
    Send(WM_KILLFOCUS);
    EXPECT_TRUE(shell_.Matches({}));
    EXPECT_TRUE(plugin_->slitAutoHide) << "the flag stays until the next docked focus gain";
}

TEST_F(BoxTest, CtrlRightClickOpensTheMenuWithTheDockingState) {
    Start(true);
    standin::SetMenuObserver(RecordMenu);
    menuEvents.clear();
    Send(WM_NCRBUTTONUP, HTCAPTION, 0);
    EXPECT_TRUE(menuEvents.empty()) << "without Ctrl the Edit class gets the click";
    EXPECT_TRUE(WasPassedOn(WM_NCRBUTTONUP, HTCAPTION));

    SetControl(true);
    passedOn.clear();
    {
        testsupport::MenuDriver close({VK_ESCAPE});
        EXPECT_EQ(Send(WM_NCRBUTTONUP, HTCAPTION, 0), 0);
    }
    Broadcast("@Castpad Toggle Slit");
    SetControl(true);  // the menu's own loop may have looked at the keyboard
    {
        testsupport::MenuDriver close({VK_ESCAPE});
        Send(WM_NCRBUTTONUP, HTCAPTION, 0);
    }
    EXPECT_FALSE(WasPassedOn(WM_NCRBUTTONUP, HTCAPTION));
    EXPECT_EQ(menuEvents, (std::vector<std::string>{"made", "shown unchecked", "deleted", "made",
                                                    "shown checked"}));
}

TEST_F(BoxTest, NoMenuWithoutASlit) {
    Start(false);
    standin::SetMenuObserver(RecordMenu);
    menuEvents.clear();
    SetControl(true);
    Send(WM_NCRBUTTONUP, HTCAPTION, 0);
    EXPECT_TRUE(menuEvents.empty());
    EXPECT_TRUE(WasPassedOn(WM_NCRBUTTONUP, HTCAPTION));
}

}  // namespace
