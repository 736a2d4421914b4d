#include <windows.h>

// Loading the DLL starts nothing: the shell calls the start functions when it is ready.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
