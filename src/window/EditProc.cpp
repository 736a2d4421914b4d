// Every message for the box passes through here: a few are the plug-in's, the rest go on to the
// Edit class unchanged.
#include "window/EditProc.h"

#include <cstring>

#include "appearance/Repaint.h"
#include "text/Utf.h"
#include "host/ShellMessages.h"
#include "plugin/BoundedText.h"
#include "plugin/Lifecycle.h"
#include "plugin/TorvexPlugin.h"
#include "window/Keyboard.h"
#include "window/Paste.h"
#include "window/TypedCharacters.h"

namespace {

constexpr int kBroadcastSize = 4096;
constexpr WPARAM kEnter = 13;
constexpr WPARAM kLineFeed = 10;  // Ctrl+Enter
constexpr WPARAM kTab = 9;
constexpr WPARAM kEscape = 27;
constexpr WPARAM kCtrlBackspace = 127;   // the character the Edit class would insert
constexpr LPARAM kKeyWasDown = 1 << 30;  // of a key-down: an auto-repeat
const char kToggleWord[] = "Toggle";
const char kSlitWord[] = "Slit";
const char kFocusWord[] = "Focus";
constexpr WPARAM kCtrlR = 0x12;  // the character Ctrl+R brings

// Counts the messages of the box being handled. When the shell stops the plug-in while one of
// them waits (a line's message box, the menu), the last one to return frees the instance.
class BusyGuard {
  public:
    explicit BusyGuard(TorvexPlugin& plugin) : plugin_(plugin) { ++plugin_.busy; }
    ~BusyGuard() {
        if (--plugin_.busy > 0) return;
        // The whole paint is asked for afresh after each message: one asked before may have been
        // taken by another program's ValidateRect, and no paint would come.
        plugin_.repaintPending = false;
        if (plugin_.stopPending) torvex::ReleaseInstance(&plugin_);
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

  private:
    TorvexPlugin& plugin_;
};

// What the Edit class handles may change what it shows: the box then paints itself whole.
LRESULT PassOn(TorvexPlugin& plugin, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CallWindowProcW(plugin.defaultEditProc, window, message, wParam, lParam);
    if (torvex::ChangesWhatIsShown(window, message)) plugin.RepaintWhole(window);
    return result;
}

// With no instance there is nothing of the plug-in's to do: the Edit class answers.
LRESULT PassToClass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto edit = reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC));
    if (edit == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return CallWindowProcW(edit, window, message, wParam, lParam);
}

LRESULT OnSetFocus(TorvexPlugin& plugin, HWND window, WPARAM wParam, LPARAM lParam) {
    plugin.focused = true;
    SendMessageW(window, EM_SETSEL, 0, -1);
    plugin.HoldSlitOpen(true);
    return PassOn(plugin, window, WM_SETFOCUS, wParam, lParam);
}

LRESULT OnKillFocus(TorvexPlugin& plugin, HWND window, WPARAM wParam, LPARAM lParam) {
    plugin.focused = false;
    plugin.shiftTap = false;
    plugin.EndSearch();  // the line found stays
    plugin.HoldSlitOpen(false);
    return PassOn(plugin, window, WM_KILLFOCUS, wParam, lParam);
}

// With Ctrl held the whole box is a caption: it can be dragged, and a right click arrives as a
// non-client click that opens the context menu.
LRESULT OnHitTest(TorvexPlugin& plugin, HWND window, WPARAM wParam, LPARAM lParam) {
    if (torvex::IsControlDown()) return HTCAPTION;
    return PassOn(plugin, window, WM_NCHITTEST, wParam, lParam);
}

// The default handling of a right press on a caption takes the mouse until the release and eats
// it, under Windows as under Wine (Wine's conformance test test_defwinproc), so the release that
// opens the menu would never come. While Ctrl makes the box a caption, the press is the box's.
LRESULT OnNonClientRightDown(TorvexPlugin& plugin, HWND window, WPARAM hitTest, LPARAM lParam) {
    if (hitTest == HTCAPTION) return 0;
    return PassOn(plugin, window, WM_NCRBUTTONDOWN, hitTest, lParam);
}

using torvex::IsHeld;

// Ctrl+R, Ctrl+Shift+Enter and Shift+Delete, each when switched on; true when taken.
bool OnChordKey(TorvexPlugin& plugin, WPARAM key) {
    // Not with Alt: Ctrl and Alt together are AltGr, which types a character on some keyboards.
    if (key == 'R' && IsHeld(VK_CONTROL) && !IsHeld(VK_MENU) && plugin.historySearch) {
        plugin.SearchOlder();
        return true;
    }
    if (key == VK_RETURN && IsHeld(VK_CONTROL) && IsHeld(VK_SHIFT) && plugin.elevate) {
        if (plugin.search.active && plugin.search.slot < 0) return true;  // nothing to run
        plugin.EndSearch();
        plugin.RunLine(true);
        if (!plugin.stopPending) plugin.HoldSlitOpen(false);
        return true;
    }
    return key == VK_DELETE && IsHeld(VK_SHIFT) && plugin.historyDelete &&
           plugin.RemoveRecalledLine();
}

LRESULT OnKeyDown(TorvexPlugin& plugin, HWND window, WPARAM key, LPARAM lParam) {
    if (key != VK_TAB) plugin.EndTabCycle();  // any other key ends going through the matches
    plugin.shiftTap = false;                  // a key with Shift held: a capital, a symbol
    const bool searching = plugin.search.active;
    if (searching && plugin.SearchKey(key)) return 0;
    if (OnChordKey(plugin, key)) return 0;
    if (!searching && plugin.TakeSuggestion(key)) return 0;  // a key that ends a search edits
    switch (key) {
        case VK_DOWN:
            plugin.RecallNewer();
            return 0;
        case VK_SHIFT:
            // Shift completes when tapped alone; held down, it repeats, and is no tap. With Ctrl,
            // Alt or the Windows key it is a chord (Ctrl+Shift switches the keyboard layout).
            plugin.shiftTap = (lParam & kKeyWasDown) == 0 && !IsHeld(VK_CONTROL) &&
                              !IsHeld(VK_MENU) && !IsHeld(VK_LWIN) && !IsHeld(VK_RWIN);
            return 0;
        case VK_UP:
            plugin.RecallOlder();
            return 0;
        case VK_TAB:
            if (!plugin.tabCompletion) break;
            plugin.CompleteWord();
            return 0;
        case VK_ESCAPE:
            if (!plugin.escapeClears) break;
            plugin.ClearLine();
            return 0;
    }
    return PassOn(plugin, window, WM_KEYDOWN, key, lParam);
}

LRESULT OnKeyUp(TorvexPlugin& plugin, HWND window, WPARAM key, LPARAM lParam) {
    if (key == VK_SHIFT && plugin.shiftTap) plugin.CompleteFromHistory();
    plugin.shiftTap = false;
    return PassOn(plugin, window, WM_KEYUP, key, lParam);
}

// Text set from outside (another program, a test) that a line cannot hold is refused whole,
// as typing and pasting stop at the limit: a line is never run or recorded cut.
LRESULT OnSetText(TorvexPlugin& plugin, HWND window, LPARAM lParam) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(lParam);
    if (text != nullptr && wcsnlen(text, kMaxLineLength + 1) > kMaxLineLength) return FALSE;
    return PassOn(plugin, window, WM_SETTEXT, 0, lParam);
}

// A character outside the Basic Multilingual Plane comes as two halves. The Edit class would
// take the first alone when only one unit is left: both are refused instead.
bool RefusedHalf(TorvexPlugin& plugin, HWND window, WPARAM character) {
    if (torvex::utf::IsLowSurrogate(static_cast<char16_t>(character)) && plugin.lowHalfRefused) {
        plugin.lowHalfRefused = false;
        return true;
    }
    plugin.lowHalfRefused = false;
    if (!torvex::utf::IsHighSurrogate(static_cast<char16_t>(character))) return false;
    DWORD start = 0, end = 0;
    SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const int kept = GetWindowTextLengthW(window) - static_cast<int>(end - start);
    plugin.lowHalfRefused = kept + 2 > kMaxLineLength;
    return plugin.lowHalfRefused;
}

LRESULT OnChar(TorvexPlugin& plugin, HWND window, WPARAM character, LPARAM lParam) {
    if (plugin.search.active && plugin.SearchCharacter(character)) return 0;
    if (character == kCtrlR && plugin.historySearch) return 0;
    if (character == kLineFeed) return 0;  // a line break never gets into the line
    if (RefusedHalf(plugin, window, character)) return 0;
    // The characters of the keys handled at their key-down never reach the line.
    if (character == kTab && plugin.tabCompletion) return 0;
    if (character == kEscape && plugin.escapeClears) return 0;
    if (character == kCtrlBackspace && plugin.wordDelete) {
        plugin.DeleteWordBeforeCaret();
        return 0;
    }
    if (character != kEnter) return PassOn(plugin, window, WM_CHAR, character, lParam);
    plugin.RunLine();
    if (!plugin.stopPending) plugin.HoldSlitOpen(false);
    return 0;
}

LRESULT OnReconfigure(TorvexPlugin& plugin) {
    const bool historyWasOff = !plugin.historyFile;
    plugin.ReadSettings();
    if (historyWasOff && plugin.historyFile) plugin.LoadUses();  // the counts it kept meanwhile
    plugin.ProgramsSwitched();
    plugin.MoveBox();
    plugin.ApplyFont();
    return 0;
}

LRESULT OnBroadcast(TorvexPlugin& plugin, LPARAM lParam) {
    char copy[kBroadcastSize] = "";
    // A longer text is cut to fit; it can then match nothing, but it overruns nothing. A null
    // text counts as the empty one.
    if (lParam != 0) torvex::CopyText(copy, reinterpret_cast<const char*>(lParam));

    if (_stricmp(copy, shell::kShowPlugins) == 0) {
        plugin.ShowBox();
    } else if (_stricmp(copy, shell::kHidePlugins) == 0) {
        plugin.HideBox();
    }
    if (!IsInString(copy, shell::kOwnBroadcastWord)) return 0;

    char first[kBroadcastSize] = "", second[kBroadcastSize] = "", rest[kBroadcastSize] = "";
    char* tokens[] = {first, second};
    NMTokenize(copy, tokens, 2, rest);
    if (_stricmp(second, kToggleWord) == 0 && _stricmp(rest, kSlitWord) == 0) {
        plugin.ToggleSlit();
    } else if (_stricmp(second, kFocusWord) == 0 && rest[0] == '\0') {
        plugin.Summon();
    }
    return 0;
}

LRESULT Dispatch(TorvexPlugin& plugin, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A character carried past the shell's ANSI message loop is typed as it came.
    if (message == torvex::TypedCharacterMessage()) message = WM_CHAR;
    if (message == torvex::LearntMessage()) {
        plugin.TakeLearntPrograms();
        return 0;
    }
    if (message == torvex::programs::ListMessage()) {
        plugin.TakeProgramList();
        return 0;
    }
    if (message == torvex::uses::SavedMessage()) {
        plugin.TakeSavedUses();
        return 0;
    }
    switch (message) {
        case WM_SETFOCUS:
            return OnSetFocus(plugin, window, wParam, lParam);
        case WM_KILLFOCUS:
            return OnKillFocus(plugin, window, wParam, lParam);
        case WM_PAINT:
            return plugin.PaintBox(window);
        case WM_CLOSE:
            return 0;  // only the plug-in's stop closes the box
        case WM_ERASEBKGND:
            return 1;  // every pixel is drawn by WM_PAINT
        case WM_NCHITTEST:
            return OnHitTest(plugin, window, wParam, lParam);
        case WM_NCRBUTTONDOWN:
            return OnNonClientRightDown(plugin, window, wParam, lParam);
        case WM_NCRBUTTONUP:
            return plugin.ShowContextMenu(window, message, wParam, lParam);
        case WM_KEYDOWN:
            return OnKeyDown(plugin, window, wParam, lParam);
        case WM_KEYUP:
            return OnKeyUp(plugin, window, wParam, lParam);
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            plugin.shiftTap = false;  // Shift with Alt, or with a click, is no tap
            plugin.EndSearch();       // a click edits the line found
            break;
        case WM_SETTEXT:
            return OnSetText(plugin, window, lParam);
        case WM_CHAR:
            return OnChar(plugin, window, wParam, lParam);
        case WM_PASTE:
            torvex::PasteFirstLine(window);
            return 0;
        case WM_CTLCOLOREDIT:
            return plugin.ColorText(reinterpret_cast<HDC>(wParam));
        case WM_IME_STARTCOMPOSITION:
        case WM_IME_ENDCOMPOSITION:
            plugin.composing = message == WM_IME_STARTCOMPOSITION;  // no suggestion meanwhile
            break;
        case WM_TIMER:
            if (wParam != kSaveUsesTimer) break;
            plugin.SaveUses();
            return 0;
        case WM_DISPLAYCHANGE:
            plugin.paintCache.Redraw();  // perhaps another colour depth
            break;
        case shell::kReconfigure:
            return OnReconfigure(plugin);
        case shell::kBroadcast:
            return OnBroadcast(plugin, lParam);
    }
    return PassOn(plugin, window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TorvexPlugin* plugin = thePlugin;
    if (plugin == nullptr) return PassToClass(window, message, wParam, lParam);
    BusyGuard busy(*plugin);
    // Nothing thrown may reach the shell's message loop: a handler that fails does nothing.
    try {
        return Dispatch(*plugin, window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}
