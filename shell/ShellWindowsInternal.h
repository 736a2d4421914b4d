#pragma once
// Between the stand-in's main window and its slit.
#include <windows.h>

#include "shell/StandIn.h"

namespace standin {

HWND CreateMainWindow(HINSTANCE instance, const PluginHost& host);
HWND CreateSlit(HINSTANCE instance);
void SetSlitAutoHide(bool on);

}  // namespace standin
