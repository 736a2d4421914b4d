#pragma once
// The clipboard's text, in and out, as UTF-16.
#include <windows.h>

#include <cstddef>
#include <string>

namespace torvex {

// The clipboard's text before its first break, at most `most` units; false when there is no text.
// The system gives text that another program put there in any form as UTF-16.
bool FirstClipboardLine(HWND window, std::size_t most, std::wstring& line);

// Puts `text` on the clipboard as CF_UNICODETEXT; false when the clipboard cannot be had.
bool CopyToClipboard(HWND window, const std::wstring& text);

}  // namespace torvex
