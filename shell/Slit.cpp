// The slit: holds plug-in windows as its children, stacked one under the other.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "host/ShellMessages.h"
#include "shell/ShellWindowsInternal.h"
#include "shell/StandIn.h"

namespace {

const char kSlitClass[] = "NimbarStandInSlit";
constexpr int kMargin = 2;
constexpr int kMinimumSize = 24;
constexpr int kSlitLeft = 800;
constexpr int kSlitTop = 100;

HWND slitWindow = nullptr;
std::vector<HWND> docked;
bool autoHide = false;

// Stacks the docked windows and sizes the slit round them.
void Layout() {
    int width = kMinimumSize, top = kMargin;
    for (HWND child : docked) {
        RECT r;
        GetWindowRect(child, &r);
        SetWindowPos(child, nullptr, kMargin, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        top += (r.bottom - r.top) + kMargin;
        width = std::max(width, static_cast<int>(r.right - r.left) + 2 * kMargin);
    }
    int height = std::max(kMinimumSize, top);
    SetWindowPos(slitWindow, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

void TakeIn(HWND child) {
    if (!IsWindow(child) || std::count(docked.begin(), docked.end(), child)) return;
    standin::MakeChild(child, slitWindow);
    docked.push_back(child);
    Layout();
    ShowWindow(child, SW_SHOWNA);
}

// Gives the window back as a top-level window where it stands on the screen.
void GiveBack(HWND child) {
    auto found = std::find(docked.begin(), docked.end(), child);
    if (found == docked.end()) return;
    docked.erase(found);
    standin::MakeTopLevel(child);
    Layout();
}

LRESULT CALLBACK SlitProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case shell::kSlitAdd:
        case shell::kSlitRemove:
            standin::Log("slit %u %llu %lld", message, static_cast<unsigned long long>(wParam),
                         static_cast<long long>(lParam));
            if (message == shell::kSlitAdd) {
                TakeIn(reinterpret_cast<HWND>(lParam));
            } else {
                GiveBack(reinterpret_cast<HWND>(lParam));
            }
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            // The Edit class asks its parent how to colour its text: the question goes to the child.
            if (std::count(docked.begin(), docked.end(), reinterpret_cast<HWND>(lParam))) {
                return SendMessageA(reinterpret_cast<HWND>(lParam), message, wParam, lParam);
            }
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

namespace standin {

void MakeChild(HWND window, HWND parent) {
    LONG style = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, (style & ~WS_POPUP) | WS_CHILD);
    SetParent(window, parent);
}

void MakeTopLevel(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    SetParent(window, nullptr);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, (style & ~WS_CHILD) | WS_POPUP);
    SetWindowPos(window, HWND_TOP, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_FRAMECHANGED);
}

bool SlitAutoHide() {
    return autoHide;
}

void SetSlitAutoHide(bool on) {
    autoHide = on;
    Log("slit: auto-hide %s", on ? "on" : "off");
}

bool IsInSlit(HWND window) {
    return std::count(docked.begin(), docked.end(), window) != 0 && GetParent(window) == slitWindow;
}

HWND CreateSlit(HINSTANCE instance) {
    docked.clear();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = SlitProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNSHADOW + 1);
    windowClass.lpszClassName = kSlitClass;
    RegisterClassA(&windowClass);
    slitWindow = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kSlitClass, "Slit",
                                 WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, kSlitLeft, kSlitTop,
                                 kMinimumSize, kMinimumSize, nullptr, nullptr, instance, nullptr);
    return slitWindow;
}

ShellWindows CreateShellWindows(HINSTANCE instance, const PluginHost& host) {
    HWND main = CreateMainWindow(instance, host);
    return {main, CreateSlit(instance)};
}

void DestroyShellWindows(const ShellWindows& windows) {
    DestroyWindow(windows.slit);
    DestroyWindow(windows.main);
    slitWindow = nullptr;
    SetMainWindow(nullptr);
}

}  // namespace standin
