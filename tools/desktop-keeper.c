/* Holds Wine's desktop open for a whole test session. Wine closes the desktop when its last
 * process leaves and starts it again for the next one; with 32-bit programs starting slowly
 * under emulation, a program can meet a desktop that is still coming up or going down, and its
 * windows then fail to be created. This 64-bit program runs at native speed: it makes a hidden
 * window, which attaches it to the desktop, writes the file named by its argument, and waits. */
#include <windows.h>
#include <stdio.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)show;
    HWND window = CreateWindowExA(0, "STATIC", "desktop keeper", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                  NULL, NULL);
    if (window == NULL) return 1;
    FILE* ready = fopen(commandLine, "w");
    if (ready != NULL) fclose(ready);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
