// Windows' Edit class draws outside WM_PAINT too (a character typed, the selection moved by mouse
// or Shift+arrows, a focus change), in the colours the box gives it: its text over nothing, on
// top of what the screen showed. Whatever it draws is painted over by the box's own paint.
#include "appearance/Repaint.h"

#include <commctrl.h>

#include "plugin/TorvexPlugin.h"

namespace torvex {

bool ChangesWhatIsShown(HWND box, UINT message) {
    switch (message) {
        // Typing, and input methods' composition.
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:  // Alt+Backspace undoes
        case WM_CHAR:
        case WM_UNICHAR:
        case WM_IME_CHAR:
        case WM_IME_STARTCOMPOSITION:
        case WM_IME_COMPOSITION:
        case WM_IME_ENDCOMPOSITION:
        case WM_IME_SETCONTEXT:
        // The mouse: the caret, the selection, scrolling while a selection is dragged.
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_CAPTURECHANGED:
        case WM_CONTEXTMENU:  // its menu undoes, cuts, pastes, deletes and selects
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_TIMER:
        // The focus shows or hides the caret and the selection.
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        // The text, and how it is laid out.
        case WM_SETTEXT:
        case WM_SETFONT:
        case WM_SIZE:
        case WM_STYLECHANGED:
        case WM_CUT:
        case WM_PASTE:
        case WM_CLEAR:
        case WM_UNDO:
        case EM_UNDO:
        case EM_SETSEL:
        case EM_REPLACESEL:
        case EM_SETRECT:
        case EM_SETRECTNP:
        case EM_SETMARGINS:
        case EM_SCROLL:
        case EM_LINESCROLL:
        case EM_SCROLLCARET:
        case EM_SETPASSWORDCHAR:
        case EM_SETREADONLY:
        case EM_SETHANDLE:
        case EM_FMTLINES:
        case EM_SETTABSTOPS:
        case EM_SETCUEBANNER:
            return true;
        case WM_MOUSEMOVE:
            return GetCapture() == box;  // a selection being dragged
    }
    return false;
}

}  // namespace torvex

// The whole box, without erasing (the box draws every pixel); asked once while a message is
// handled, since one may change what the class shows several times (a search key sends the field
// half a dozen messages) and every request is a call into the system (under Wine a round trip
// to its server, which costs as much as a tenth of a key).
void TorvexPlugin::RepaintWhole(HWND box) {
    if (repaintPending || box == nullptr) return;  // a null window would name every window
    InvalidateRect(box, nullptr, FALSE);
    repaintPending = true;
}
