#pragma once
// Puts text (UTF-8) on the clipboard, as another program would before the user pastes.
#include <windows.h>

#include <cstring>
#include <string>

#include "tests/support/Text.h"

namespace testsupport {

inline bool SetClipboardText(const std::string& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    std::wstring wide = Wide(text);
    std::size_t size = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), wide.c_str(), size);
    GlobalUnlock(block);
    bool set = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    CloseClipboard();
    return set;
}

}  // namespace testsupport
