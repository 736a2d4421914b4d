#pragma once
// Puts text on the clipboard, as another program would before the user pastes.
#include <windows.h>

#include <cstring>
#include <string>

namespace testsupport {

inline bool SetClipboardText(const std::string& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    bool set = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    return set;
}

}  // namespace testsupport
