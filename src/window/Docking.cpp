// Floating or docked in the slit; shown, hidden and moved; the slit held open while focused.
#include "appearance/ColorRouting.h"
#include "appearance/Keys.h"
#include "host/ShellMessages.h"
#include "plugin/TorvexPlugin.h"

namespace {

constexpr UINT kShowFlags = SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOSENDCHANGING;  // 1089
constexpr UINT kHideFlags =
    SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW | SWP_NOSENDCHANGING;  // 1157
static_assert(kShowFlags == 1089 && kHideFlags == 1157, "the flags the shell's plug-ins use");

}  // namespace

bool TorvexPlugin::IsInSlit() const {
    return inSlit && slitWindow != nullptr;
}

void TorvexPlugin::DockInSlit() {
    if (IsInSlit()) return;
    SendMessageA(slitWindow, shell::kSlitAdd, 0, reinterpret_cast<LPARAM>(editWindow));
    paintCache.Redraw();
    inSlit = true;  // only now: while the slit works, the box still counts as floating
}

void TorvexPlugin::UndockFromSlit() {
    if (!IsInSlit()) return;
    SendMessageA(slitWindow, shell::kSlitRemove, 0, reinterpret_cast<LPARAM>(editWindow));
    RouteColoursAgain();
    paintCache.Redraw();
    inSlit = false;
}

// Nothing documents that the owner set at creation outlives SetParent, and the Edit asks
// GetParent how to colour its text. Set only on a pop-up: on a child, GWLP_HWNDPARENT would move
// the box into another parent.
void TorvexPlugin::RouteColoursAgain() {
    HWND routing = torvex::ColorRoutingOwner(instance);
    if (routing == nullptr || (GetWindowLongPtrW(editWindow, GWL_STYLE) & WS_CHILD) != 0) return;
    if (GetParent(editWindow) != routing) {
        SetWindowLongPtrW(editWindow, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(routing));
    }
}

void TorvexPlugin::ToggleSlit() {
    if (slitWindow == nullptr) return;
    if (IsInSlit()) {
        UndockFromSlit();
    } else {
        DockInSlit();
    }
}

void TorvexPlugin::ShowBox() {
    if (!IsInSlit()) SetWindowPos(editWindow, HWND_TOP, x, y, 0, 0, kShowFlags);
}

void TorvexPlugin::HideBox() {
    if (!IsInSlit()) SetWindowPos(editWindow, nullptr, x, y, 0, 0, kHideFlags);
}

void TorvexPlugin::MoveBox() {
    MoveWindow(editWindow, x, y, width, height, TRUE);
}

void TorvexPlugin::SendToShell(const char* broadcast) {
    SendMessageA(shellWindow, shell::kBroadcast, 0, reinterpret_cast<LPARAM>(broadcast));
}

void TorvexPlugin::HoldSlitOpen(bool hold) {
    if (!IsInSlit()) return;
    if (hold) slitAutoHide = ReadBool(nmrcPath(nullptr), torvex::keys::kSlitAutoHide, false);
    if (slitAutoHide && hold) {
        SendToShell(shell::kSlitHideOff);
    } else if (slitAutoHide) {
        SendToShell(shell::kSlitHideOn);
        slitAutoHide = false;
    }
}

// At stop, the switch back on that the shell is owed, docked or not: nobody would send it later.
void TorvexPlugin::GiveBackSlitAutoHide() {
    if (!slitAutoHide) return;
    SendToShell(shell::kSlitHideOn);
    slitAutoHide = false;
}

// "@Castpad Focus", which the shell sends for a hotkey: the box takes the keyboard with its text
// selected. Windows lets the process that just received a hotkey take the foreground, so the box
// comes forward even when another program had it; nothing else here takes the focus.
void TorvexPlugin::Summon() {
    if (!IsInSlit()) {
        SetWindowPos(editWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    SetForegroundWindow(GetAncestor(editWindow, GA_ROOT));  // the slit, when docked
    SetFocus(editWindow);  // docked, the focus gain holds the slit open
    SendMessageW(editWindow, EM_SETSEL, 0, -1);
}
