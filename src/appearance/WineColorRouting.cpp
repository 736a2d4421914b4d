// Windows asks the Edit control itself how to colour its text; Wine's Edit control asks
// GetParent() instead, which for the box (created without parent or owner) is nobody, so the
// text would get the default white background and the box's own answer would never be heard.
// Under Wine only, the box is owned by a hidden window that hands those questions back to it.
#include "appearance/WineColorRouting.h"

namespace torvex {
namespace {

const char kOwnerClass[] = "TorvexColorRouting";
HWND owner = nullptr;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) && lParam != 0) {
        return SendMessageA(reinterpret_cast<HWND>(lParam), message, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

HWND ColorRoutingOwner(HINSTANCE instance) {
    if (owner != nullptr || !RunningUnderWine()) return owner;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kOwnerClass;
    RegisterClassA(&windowClass);
    owner = CreateWindowExA(WS_EX_TOOLWINDOW, kOwnerClass, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, instance, nullptr);
    return owner;
}

void DestroyColorRoutingOwner() {
    if (owner != nullptr) DestroyWindow(owner);
    owner = nullptr;
}

}  // namespace torvex
