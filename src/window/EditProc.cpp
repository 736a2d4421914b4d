// Every message for the box passes through here: a few are the plug-in's, the rest go on to the
// Edit class unchanged.
#include "window/EditProc.h"

#include <cstring>

#include "appearance/Paint.h"
#include "appearance/WineColorRouting.h"
#include "host/ShellMessages.h"
#include "plugin/BoundedText.h"
#include "plugin/TorvexPlugin.h"
#include "window/Keyboard.h"

namespace {

constexpr int kBroadcastSize = 4096;
constexpr WPARAM kEnter = 13;
const char kToggleWord[] = "Toggle";
const char kSlitWord[] = "Slit";

LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(thePlugin->defaultEditProc, window, message, wParam, lParam);
}

LRESULT OnSetFocus(HWND window, WPARAM wParam, LPARAM lParam) {
    SendMessageA(window, EM_SETSEL, 0, -1);
    thePlugin->HoldSlitOpen(true);
    return PassOn(window, WM_SETFOCUS, wParam, lParam);
}

LRESULT OnKillFocus(HWND window, WPARAM wParam, LPARAM lParam) {
    thePlugin->HoldSlitOpen(false);
    return PassOn(window, WM_KILLFOCUS, wParam, lParam);
}

// With Ctrl held the whole box is a caption: it can be dragged, and a right click arrives as a
// non-client click that opens the context menu.
LRESULT OnHitTest(HWND window, WPARAM wParam, LPARAM lParam) {
    if (torvex::IsControlDown()) return HTCAPTION;
    return PassOn(window, WM_NCHITTEST, wParam, lParam);
}

// Wine's default handling of a right press on a caption waits for the release itself and eats
// it, so the context menu would never open there. Under Windows the press is passed on.
LRESULT OnNonClientRightDown(HWND window, WPARAM hitTest, LPARAM lParam) {
    if (hitTest == HTCAPTION && torvex::RunningUnderWine()) return 0;
    return PassOn(window, WM_NCRBUTTONDOWN, hitTest, lParam);
}

LRESULT OnKeyDown(HWND window, WPARAM key, LPARAM lParam) {
    switch (key) {
        case VK_DOWN:
            thePlugin->RecallNewer();
            return 0;
        case VK_SHIFT:
            thePlugin->CompleteFromHistory();
            return 0;
        case VK_UP:
            thePlugin->RecallOlder();
            return 0;
    }
    if (torvex::IsRepaintKey(key)) InvalidateRect(window, nullptr, TRUE);
    return PassOn(window, WM_KEYDOWN, key, lParam);
}

LRESULT OnChar(HWND window, WPARAM character, LPARAM lParam) {
    if (character != kEnter) return PassOn(window, WM_CHAR, character, lParam);
    thePlugin->RunLine();
    thePlugin->HoldSlitOpen(false);
    return 0;
}

LRESULT OnReconfigure() {
    thePlugin->ReadSettings();
    thePlugin->MoveBox();
    thePlugin->ApplyFont();
    return 0;
}

LRESULT OnBroadcast(LPARAM lParam) {
    char copy[kBroadcastSize] = "";
    // A longer text is cut to fit; it can then match nothing, but it overruns nothing.
    if (lParam != 0) torvex::CopyText(copy, reinterpret_cast<const char*>(lParam));

    if (_stricmp(copy, shell::kShowPlugins) == 0) {
        thePlugin->ShowBox();
    } else if (_stricmp(copy, shell::kHidePlugins) == 0) {
        thePlugin->HideBox();
    }
    if (!IsInString(copy, shell::kOwnBroadcastWord)) return 0;

    char first[kBroadcastSize] = "", second[kBroadcastSize] = "", rest[kBroadcastSize] = "";
    char* tokens[] = {first, second};
    NMTokenize(copy, tokens, 2, rest);
    if (_stricmp(second, kToggleWord) == 0 && _stricmp(rest, kSlitWord) == 0) {
        thePlugin->ToggleSlit();
    }
    return 0;
}

}  // namespace

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
            return OnSetFocus(window, wParam, lParam);
        case WM_KILLFOCUS:
            return OnKillFocus(window, wParam, lParam);
        case WM_PAINT:
            return thePlugin->PaintBox(window, lParam);
        case WM_CLOSE:
            return 0;  // only the plug-in's stop closes the box
        case WM_ERASEBKGND:
            return 1;  // every pixel is drawn by WM_PAINT
        case WM_NCHITTEST:
            return OnHitTest(window, wParam, lParam);
        case WM_NCRBUTTONDOWN:
            return OnNonClientRightDown(window, wParam, lParam);
        case WM_NCRBUTTONUP:
            return thePlugin->ShowContextMenu(window, message, wParam, lParam);
        case WM_KEYDOWN:
            return OnKeyDown(window, wParam, lParam);
        case WM_CHAR:
            return OnChar(window, wParam, lParam);
        case WM_CTLCOLOREDIT:
            return thePlugin->ColorText(reinterpret_cast<HDC>(wParam));
        case shell::kReconfigure:
            return OnReconfigure();
        case shell::kBroadcast:
            return OnBroadcast(lParam);
    }
    return PassOn(window, message, wParam, lParam);
}
