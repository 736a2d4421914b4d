#pragma once
#include <windows.h>

namespace torvex {

// The owner to create the floating box with: a hidden window that hands the Edit class's colour
// questions back to the box.
HWND ColorRoutingOwner(HINSTANCE instance);
void DestroyColorRoutingOwner();

}  // namespace torvex
