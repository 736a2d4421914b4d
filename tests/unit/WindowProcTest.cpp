// The box's window procedure with real messages to a real subclassed Edit window: what it
// handles, what reaches the Edit class, docking, the slit's auto-hide and the context menu.
#include <windows.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/ShellMessages.h"
#include "plugin/TorvexPlugin.h"
#include "shell/StandIn.h"
#include "tests/support/HiddenWine.h"
#include "tests/support/Keyboard.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Clipboard.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/PluginBox.h"
#include "tests/support/Text.h"
#include "window/EditProc.h"

namespace {

using testsupport::Delivery;
using testsupport::Expected;
using testsupport::MessageRecorder;
using testsupport::Target;

class BoxTest : public testsupport::PluginBox {
  protected:
    void SetUp() override {
        PluginBox::SetUp();
        Write("torvex.rc", "torvex.x: 30\ntorvex.y: 40\ntorvex.width: 150\n");
    }
    void TearDown() override {
        SetControl(false);
        PluginBox::TearDown();
    }
    RECT Placement() {
        RECT r;
        GetWindowRect(box(), &r);
        return r;
    }
    // A real key press: GetAsyncKeyState sees it only after the input has gone round the system,
    // which may take seconds on a busy machine. Wine sets its keys to what the X server holds
    // whenever a window of it gains the focus, and X holds no Ctrl: the box's own focus events
    // are let pass first.
    void SetControl(bool down) {
        shell_.Pump(200);
        keybd_event(VK_CONTROL, 0, down ? 0 : KEYEVENTF_KEYUP, 0);
        const ULONGLONG start = GetTickCount64();
        do {
            shell_.Pump(50);
        } while (((GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0) != down &&
                 GetTickCount64() - start < 10000);
    }
    Expected ToSlit(UINT message) {
        return {Target::kSlit, message, Delivery::kSent, 0, reinterpret_cast<LPARAM>(box())};
    }
    Expected MenuCall(const char* text) {
        Expected call = {Target::kCall, 0, Delivery::kCalled, 0, 0, text};
        call.anyWParam = true;  // the menu the shell made
        return call;
    }
    Expected ToShell(const char* broadcast) {
        return {Target::kMain, shell::kBroadcast, Delivery::kSent, 0, 0, broadcast, true};
    }
};

TEST_F(BoxTest, HandlesItsOwnMessagesAndPassesTheRestOn) {
    Start(true);
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_TRUE(IsWindow(box())) << "nothing the user does closes the box";
    EXPECT_EQ(Send(WM_ERASEBKGND), 1);
    EXPECT_FALSE(WasPassedOn(WM_CLOSE, 0));
    EXPECT_FALSE(WasPassedOn(WM_ERASEBKGND, 0));

    ForgetPassedOn();
    Send(WM_USER + 77, 5, 6);
    Send(WM_MOVE, 0, MAKELPARAM(30, 40));  // below 7
    ASSERT_EQ(Passed().size(), 2u);
    EXPECT_EQ(Passed()[0].message, WM_USER + 77u);
    EXPECT_EQ(Passed()[0].wParam, 5u);
    EXPECT_EQ(Passed()[0].lParam, 6);
    EXPECT_EQ(Passed()[1].message, static_cast<UINT>(WM_MOVE));

    SetWindowTextA(box(), "hello");
    Send(WM_SETFOCUS);
    DWORD start = 1, end = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u) << "focus selects the whole line";
    EXPECT_TRUE(WasPassedOn(WM_SETFOCUS, 0));
    EXPECT_TRUE(shell_.Matches({})) << "floating: the slit is not held";
}

TEST_F(BoxTest, KeysDriveHistoryAndEnter) {
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
    testsupport::TapShift(box());
    EXPECT_EQ(Field(), "calc");
    EXPECT_FALSE(WasPassedOn(WM_KEYDOWN, VK_UP));
    EXPECT_FALSE(WasPassedOn(WM_KEYDOWN, VK_DOWN));
    EXPECT_FALSE(WasPassedOn(WM_KEYDOWN, VK_SHIFT));
}

// Windows' Edit class also draws outside WM_PAINT, with the box's colours: its text over nothing.
// After every message it handles that can change what it shows, the box has a whole paint of its
// own pending; after the others, none.
TEST_F(BoxTest, EveryChangeTheEditClassShowsIsPaintedOverByTheBox) {
    auto send = [this](UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return [=] { Send(message, wParam, lParam); };
    };
    auto shifted = [this](WPARAM key) {
        return [=] {
            testsupport::KeyDown(box(), VK_SHIFT);
            testsupport::KeyDown(box(), key);
            testsupport::KeyUp(box(), VK_SHIFT);
        };
    };
    struct Case {
        const char* what;
        std::function<void()> act;
        bool repaints;
    };
    const Case cases[] = {
        {"a letter's key", send(WM_KEYDOWN, 'A'), true},
        {"a punctuation key", send(WM_KEYDOWN, VK_OEM_PERIOD), true},
        {"a punctuation character", send(WM_CHAR, '.'), true},
        {"a symbol typed with Shift", [this] { testsupport::TypeText(box(), ":"); }, true},
        {"Left", send(WM_KEYDOWN, VK_LEFT), true},
        {"Shift+Left", shifted(VK_LEFT), true},
        {"Shift+Home", shifted(VK_HOME), true},
        {"a press of the mouse", send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4)), true},
        {"a drag while pressed", send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 4)), true},
        {"a double click", send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4)), true},
        {"the release", send(WM_LBUTTONUP, 0, MAKELPARAM(60, 4)), true},
        {"EM_SETSEL", send(EM_SETSEL, 1, 3), true},
        {"a composition starts", send(WM_IME_STARTCOMPOSITION), true},
        {"a composition changes", send(WM_IME_COMPOSITION, 0, GCS_COMPSTR), true},
        {"a composition ends", send(WM_IME_ENDCOMPOSITION), true},
        {"a paste", send(WM_PASTE), true},
        {"a cut", send(WM_CUT), true},
        {"Alt+Backspace undoes", send(WM_SYSKEYDOWN, VK_BACK, 1 << 29), true},
        {"the focus comes", send(WM_SETFOCUS), true},
        {"the focus goes", send(WM_KILLFOCUS), true},
        {"a timer of the class's", send(WM_TIMER, 1), true},
        {"the mouse passing over", send(WM_MOUSEMOVE, 0, MAKELPARAM(10, 4)), false},
        {"a key's release", send(WM_KEYUP, 'A', 0xC0000001), false},
        {"the text read", send(WM_GETTEXTLENGTH), false},
        {"the selection read", send(EM_GETSEL), false},
    };
    for (bool docked : {false, true}) {
        SCOPED_TRACE(docked ? "docked" : "floating");
        Write("torvex.rc", docked ? "torvex.inslit: true\n" : "");
        if (plugin_) plugin_->Stop();
        Start(true);
        ASSERT_TRUE(testsupport::SetClipboardText("pasted"));
        for (const Case& row : cases) {
            SetWindowTextA(box(), "some text to show");
            ValidateRect(box(), nullptr);  // as another window might: no paint comes
            row.act();
            RECT dirty = {}, whole = {};
            GetUpdateRect(box(), &dirty, FALSE);
            GetClientRect(box(), &whole);
            EXPECT_EQ(EqualRect(&dirty, &whole) != FALSE, row.repaints) << row.what;
        }
        ReleaseCapture();
        for (WPARAM key : {WPARAM{'A'}, WPARAM{VK_OEM_PERIOD}, WPARAM{VK_LEFT}}) {
            EXPECT_TRUE(WasPassedOn(WM_KEYDOWN, key)) << "every key goes on to the Edit class";
        }
    }
}

// Shift completes when tapped alone. Held to type a capital or a symbol, or held until it
// repeats, or with a click, it never changes the line. A completion leaves the caret at the end.
TEST_F(BoxTest, ShiftCompletesOnlyWhenTappedAlone) {
    using testsupport::KeyDown;
    using testsupport::KeyUp;
    const std::map<std::string, std::function<void(HWND)>> keys = {
        {"tap", testsupport::TapShift},
        {"capital", [](HWND box) { testsupport::TypeText(box, "C"); }},
        {"symbol", [](HWND box) { testsupport::TypeText(box, ":"); }},
        {"held", [](HWND box) { KeyDown(box, VK_SHIFT), KeyDown(box, VK_SHIFT, true); }},
        {"click",
         [](HWND box) { KeyDown(box, VK_SHIFT), SendMessageA(box, WM_LBUTTONDOWN, 0, 0); }},
        {"with Ctrl",  // Ctrl+Shift, the keyboard layout's switch
         [](HWND box) {
             BYTE keys[256];
             GetKeyboardState(keys);
             keys[VK_CONTROL] = 0x80;
             SetKeyboardState(keys);
             KeyDown(box, VK_SHIFT), KeyUp(box, VK_SHIFT);
             keys[VK_CONTROL] = 0;
             SetKeyboardState(keys);
         }},
    };
    struct Case {
        const char* typed;
        const char* keys;
        const char* expected;
    };
    // Longer than the first 510 units: the cut there would fall before "new", and inside 😀.
    const std::string kLongTyped = std::string(510, 'a') + " new",
                      kSmileTyped = std::string(509, 'a') + "😀";
    const Case cases[] = {
        {"pad", "tap", "notepad C:\\old.txt"},
        {"notepad ", "capital", "notepad C"},
        {"notepad C", "symbol", "notepad C:"},
        {"pad", "held", "pad"},
        {"pad", "click", "pad"},
        {"pad", "with Ctrl", "pad"},
        // Compared whole: not on a first part that a held line shares, nor on half a pair.
        {kLongTyped.c_str(), "tap", kLongTyped.c_str()},
        {kSmileTyped.c_str(), "tap", kSmileTyped.c_str()},
    };
    for (bool docked : {false, true}) {
        SCOPED_TRACE(docked ? "docked" : "floating");
        Write("torvex.rc", docked ? "torvex.inslit: true\n" : "");
        if (plugin_) plugin_->Stop();
        Start(true);
        Run("notepad C:\\old.txt");
        Run(std::string(510, 'a') + " old");
        Run(std::string(509, 'a') + "🙂");  // the same first half as 😀
        for (const Case& row : cases) {
            SetWindowTextW(box(), testsupport::Wide(row.typed).c_str());
            const int typedLength = GetWindowTextLengthW(box());
            Send(EM_SETSEL, typedLength, typedLength);
            keys.at(row.keys)(box());
            KeyUp(box(), VK_SHIFT);
            SendMessageA(box(), WM_LBUTTONUP, 0, 0);
            EXPECT_EQ(Field(), row.expected) << row.keys;
            DWORD start = 0, end = 0;
            Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            if (std::string(row.keys) == "tap") {
                EXPECT_EQ(end, testsupport::Wide(Field()).size()) << "the caret at the end";
            }
        }
    }
}

// Text with a line break, set by another program, pasted or typed with Ctrl+Enter, never runs
// or is recorded with the break in it.
TEST_F(BoxTest, ALineBreakNeverGetsIntoALine) {
    Start(false);
    SetWindowTextA(box(), "x\r\ny");
    Send(WM_CHAR, 13);
    EXPECT_STREQ(plugin_->history[0], L"x");
    EXPECT_EQ(HistoryFile(), "x\r\n");

    Send(WM_CHAR, 10);
    EXPECT_FALSE(WasPassedOn(WM_CHAR, 10)) << "Ctrl+Enter";

    // From a Windows program, a terminal or a web page, an old Mac file.
    for (const char* copied : {"first\r\nsecond", "first\nsecond", "first\rsecond"}) {
        ASSERT_TRUE(testsupport::SetClipboardText(copied));
        SetWindowTextA(box(), "a ");
        Send(EM_SETSEL, 2, 2);
        Send(WM_PASTE);
        EXPECT_EQ(Field(), "a first") << "a paste takes the text before its first break";
    }
}

TEST_F(BoxTest, CtrlMakesTheBoxACaption) {
    Start(true);
    RECT r = Placement();
    LPARAM inside = MAKELPARAM(r.left + 5, r.top + 5);
    EXPECT_NE(Send(WM_NCHITTEST, 0, inside), HTCAPTION);
    EXPECT_TRUE(WasPassedOn(WM_NCHITTEST, 0));
    // Ctrl is read as it is now, not as of the input messages this thread has taken so far: a
    // press that no message has brought yet counts already. (Wine keeps an answer of "up" for
    // 50 ms; the wait takes no message.)
    shell_.Pump(200);
    keybd_event(VK_CONTROL, 0, 0, 0);
    Sleep(60);
    ForgetPassedOn();
    EXPECT_EQ(Send(WM_NCHITTEST, 0, inside), HTCAPTION);
    EXPECT_TRUE(Passed().empty());
    shell_.Pump(200);  // then the press is taken as usual
}

// The default handling of a right press on a caption takes the mouse and eats the release,
// under Windows as under Wine, so the menu would never open: that press never reaches the Edit
// class, whatever system the box runs on.
TEST_F(BoxTest, RightPressOnTheCaptionIsKeptFromTheEditClass) {
    for (bool wineHidden : {false, true}) {
        SCOPED_TRACE(wineHidden ? "with Wine hidden" : "under Wine");
        std::optional<testsupport::HiddenWine> hidden;
        if (wineHidden) hidden.emplace(GetModuleHandleA(nullptr));
        if (plugin_) plugin_->Stop();
        Start(true);
        // A release waits, as the default handling's loop would take it from the queue.
        PostMessageA(box(), WM_RBUTTONUP, 0, 0);
        EXPECT_EQ(Send(WM_NCRBUTTONDOWN, HTCAPTION, 0), 0);
        EXPECT_FALSE(WasPassedOn(WM_NCRBUTTONDOWN, HTCAPTION));
        MSG release;
        EXPECT_TRUE(PeekMessageA(&release, box(), WM_RBUTTONUP, WM_RBUTTONUP, PM_REMOVE))
            << "the release is left to come as the menu's";
        Send(WM_NCRBUTTONDOWN, HTBORDER, 0);
        EXPECT_TRUE(WasPassedOn(WM_NCRBUTTONDOWN, HTBORDER));
    }
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
    const RECT home = {30, 40, 30 + 150, 40 + plugin_->height};  // x, y, width, the style's height
    auto dragAway = [&] {
        SetWindowPos(box(), nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    };
    dragAway();
    Broadcast("@nmHIDEplugins");
    EXPECT_FALSE(IsWindowVisible(box()));
    RECT now = Placement();
    EXPECT_TRUE(EqualRect(&home, &now)) << "hidden at its place, keeping its size";
    dragAway();
    Broadcast("@NMShowPlugins");
    EXPECT_TRUE(IsWindowVisible(box()));
    now = Placement();
    EXPECT_TRUE(EqualRect(&home, &now)) << "shown back at its place, with its size";
    Broadcast("@NMHidePlugins now");
    EXPECT_TRUE(IsWindowVisible(box())) << "a further word matches nothing";
    std::string huge = "@NMHidePlugins" + std::string(5000, ' ');
    Broadcast(huge);
    EXPECT_TRUE(IsWindowVisible(box()));

    Broadcast("@Castpad Toggle Slit");  // docked now: show and hide are the slit's business
    dragAway();
    RECT docked = Placement();
    Broadcast("@NMHidePlugins");
    EXPECT_TRUE(IsWindowVisible(box()));
    Broadcast("@NMShowPlugins");
    now = Placement();
    EXPECT_TRUE(EqualRect(&docked, &now)) << "neither moved nor sized while docked";
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
    shell_.RecordCalls({"ReadBool"});  // the shell's own key, spelled exactly
    Send(WM_SETFOCUS);
    Write("nimbar.rc", "session.screen0.slit.autohide: false\n");
    Send(WM_SETFOCUS);  // held, setting now off: the flag is cleared, nothing sent
    Send(WM_KILLFOCUS);
    const Expected read = {
        Target::kCall, 0, Delivery::kCalled, 0, 0, "ReadBool session.screen0.slit.autohide:"};
    EXPECT_TRUE(shell_.Matches({read, ToShell("@NMSlit Toggle Hide Off"), read}));
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

// A stop gives back the auto-hide the shell is owed, docked or undocked while held: nobody
// else would, and the slit would stay open for good.
TEST_F(BoxTest, AStopGivesBackTheAutoHideItOwes) {
    for (bool undockedWhileHeld : {false, true}) {
        Write("nimbar.rc", "session.screen0.slit.autohide: true\n");
        if (plugin_) plugin_->Stop();
        Start(true);
        Broadcast("@Castpad Toggle Slit");
        Send(WM_SETFOCUS);
        if (undockedWhileHeld) Broadcast("@Castpad Toggle Slit");
        shell_.Clear();
        plugin_->Stop();
        std::string last;  // the slit may give the box the focus as it lets it go
        for (const auto& seen : shell_.messages()) {
            if (seen.text.rfind("@NMSlit Toggle Hide", 0) == 0) last = seen.text;
        }
        EXPECT_EQ(last, "@NMSlit Toggle Hide On") << undockedWhileHeld;
        EXPECT_FALSE(plugin_->slitAutoHide);
    }
}

TEST_F(BoxTest, CtrlRightClickOpensTheMenuWithTheDockingState) {
    Start(true);
    shell_.RecordCalls({"MakeMenu", "MakeMenuItem", "ShowMenu", "DelMenu"});
    Send(WM_NCRBUTTONUP, HTCAPTION, 0);
    EXPECT_TRUE(shell_.Matches({})) << "without Ctrl the Edit class gets the click";
    EXPECT_TRUE(WasPassedOn(WM_NCRBUTTONUP, HTCAPTION));

    SetControl(true);
    ForgetPassedOn();
    {
        testsupport::ModalDriver close({VK_ESCAPE});
        EXPECT_EQ(Send(WM_NCRBUTTONUP, HTCAPTION, 0), 0);
    }
    Broadcast("@Castpad Toggle Slit");
    SetControl(true);  // the menu's own loop may have looked at the keyboard
    {
        testsupport::ModalDriver close({VK_ESCAPE});
        Send(WM_NCRBUTTONUP, HTCAPTION, 0);
    }
    EXPECT_FALSE(WasPassedOn(WM_NCRBUTTONUP, HTCAPTION));
    EXPECT_TRUE(shell_.Matches({
        MenuCall("MakeMenu c@stpad"),
        MenuCall("MakeMenuItem In Slit|@Castpad Toggle Slit|unchecked"),
        MenuCall("ShowMenu"),
        ToSlit(shell::kSlitAdd),
        MenuCall("DelMenu"),
        MenuCall("MakeMenu c@stpad"),
        MenuCall("MakeMenuItem In Slit|@Castpad Toggle Slit|checked"),
        MenuCall("ShowMenu"),
    }));

    shell_.Clear();  // the stop gives the last menu back to the shell
    HWND stopped = box();
    plugin_->Stop();
    EXPECT_TRUE(shell_.Matches(
        {MenuCall("DelMenu"),
         {Target::kSlit, shell::kSlitRemove, Delivery::kSent, 0, reinterpret_cast<LPARAM>(stopped)},
         {Target::kMain, shell::kUnregisterMessages, Delivery::kSent,
          reinterpret_cast<WPARAM>(stopped), 0, nullptr, true}}));
}

TEST_F(BoxTest, NoMenuWithoutASlit) {
    Start(false);
    shell_.RecordCalls({"MakeMenu"});
    SetControl(true);
    Send(WM_NCRBUTTONUP, HTCAPTION, 0);
    EXPECT_TRUE(shell_.Matches({}));
    EXPECT_FALSE(WasPassedOn(WM_NCRBUTTONUP, HTCAPTION)) << "nor the Edit's own menu";
}

}  // namespace
