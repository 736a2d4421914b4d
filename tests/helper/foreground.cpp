// Another program in the foreground, for the tests of the box summoned by a hotkey: shows a
// window, takes the foreground, and waits until it is ended (at most a minute).
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TorvexForeground";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"TorvexForeground", L"foreground", WS_OVERLAPPEDWINDOW, 10,
                                  10, 200, 100, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetTimer(window, 1, 60000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) {
        DispatchMessageW(&message);
    }
    return 0;
}
