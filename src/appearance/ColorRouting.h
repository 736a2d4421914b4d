#pragma once
#include <windows.h>

namespace torvex {

// The owner to create the box with: under Wine a hidden window that hands the Edit control's
// colour questions back to the box; under Windows none.
HWND ColorRoutingOwner(HINSTANCE instance);
void DestroyColorRoutingOwner();
bool RunningUnderWine();

}  // namespace torvex
