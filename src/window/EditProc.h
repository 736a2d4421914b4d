#pragma once
#include <windows.h>

// The box's window procedure, put in place of the Edit class's own.
LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
