#pragma once
#include <windows.h>

namespace torvex {

// Whether the Edit class, having handled `message`, may show something else than before: text,
// caret, selection, scroll position or focus. The box is then painted whole again by its own
// paint, over anything the class drew outside WM_PAINT with nothing behind its text.
bool ChangesWhatIsShown(HWND box, UINT message);

}  // namespace torvex
