#include <windows.h>

#include "plugin/StaticRuntime.h"

// Loading the DLL starts nothing: the shell calls the start functions when it is ready.
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    torvex::ReleaseStaticRuntime(module, reason, reserved);
    return TRUE;
}
