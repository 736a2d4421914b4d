#pragma once
#include <windows.h>

#include <string>

namespace torvex {

// Pastes the clipboard's text up to its first line break, as a single-line Edit does.
void PasteFirstLine(HWND window);

}  // namespace torvex
