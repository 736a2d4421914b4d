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

// The clipboard's text in UTF-8, as a program would paste it; empty when it holds none.
inline std::string ClipboardText() {
    if (!OpenClipboard(nullptr)) return "";
    std::string text;
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* wide = static_cast<const wchar_t*>(GlobalLock(block))) {
            text = Utf8(wide);
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace testsupport
