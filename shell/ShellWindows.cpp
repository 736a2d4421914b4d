// The shell's main window as the plug-in asks for it.
#define NIMBAR_API __declspec(dllexport)
#include "host/NimbarApi.h"
#include "shell/StandIn.h"

namespace {
HWND mainWindow = nullptr;
}

namespace standin {
void SetMainWindow(HWND window) {
    mainWindow = window;
}
}  // namespace standin

extern "C" NIMBAR_API HWND GetNMWnd(void) {
    return mainWindow;
}
