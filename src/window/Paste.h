#pragma once
#include <windows.h>

#include <string>

namespace torvex {

// Pastes the clipboard's text up to its first line break, as a single-line Edit does.
void PasteFirstLine(HWND window);

// Puts `text` on the clipboard as CF_UNICODETEXT; false when the clipboard cannot be had.
bool CopyToClipboard(HWND window, const std::wstring& text);

}  // namespace torvex
