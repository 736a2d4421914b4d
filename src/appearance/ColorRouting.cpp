// The Edit class asks GetParent() how to colour its text, under Windows as under Wine: for the
// box, a pop-up, that is its owner (GetParent's documentation; Wine's edit.c sends
// WM_CTLCOLOREDIT there). Created without one, nobody would answer, the text would get the
// default white background and the box's own answer would never be heard. So the floating box is
// owned by a hidden window that hands those questions back to it. Docked, the slit is the parent
// and answers for it.
#include "appearance/ColorRouting.h"

namespace torvex {
namespace {

const char kOwnerClass[] = "TorvexColorRouting";
HWND owner = nullptr;
HINSTANCE ownerInstance = nullptr;

// Only a window this one owns (the box) is asked: any process can send this window a message
// naming another program's window, which might not answer, or this window itself, which would
// ask itself without end.
LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND asking = reinterpret_cast<HWND>(lParam);
    if ((message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) && asking != nullptr &&
        asking != window && GetWindow(asking, GW_OWNER) == window) {
        return SendMessageA(asking, message, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND ColorRoutingOwner(HINSTANCE instance) {
    if (owner != nullptr) return owner;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kOwnerClass;
    RegisterClassA(&windowClass);
    ownerInstance = instance;
    owner = CreateWindowExA(WS_EX_TOOLWINDOW, kOwnerClass, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, instance, nullptr);
    return owner;
}

// The class goes too: Windows keeps a DLL's classes after it is unloaded, and a newer DLL
// loaded later at the same address would get a window of the old one's procedure.
void DestroyColorRoutingOwner() {
    if (owner != nullptr) DestroyWindow(owner);
    owner = nullptr;
    if (ownerInstance != nullptr) UnregisterClassA(kOwnerClass, ownerInstance);
    ownerInstance = nullptr;
}

}  // namespace torvex
