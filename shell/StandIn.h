#pragma once
// What the stand-in shell offers beyond the exports: hooks for its own program and for tests.
#include <windows.h>

namespace standin {

// The window that GetNMWnd answers with.
void SetMainWindow(HWND window);

}  // namespace standin
