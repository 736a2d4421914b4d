#include "tests/support/Keyboard.h"

#include "tests/support/Text.h"

namespace testsupport {
namespace {

constexpr LPARAM kWasDown = 1 << 30;
constexpr LPARAM kReleased = static_cast<LPARAM>(1u << 31);

LPARAM KeyData(WPARAM key) {
    return 1 | static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
}

}  // namespace

void KeyDown(HWND box, WPARAM key, bool repeat) {
    SendMessageA(box, WM_KEYDOWN, key, KeyData(key) | (repeat ? kWasDown : 0));
}

void KeyUp(HWND box, WPARAM key) {
    SendMessageA(box, WM_KEYUP, key, KeyData(key) | kWasDown | kReleased);
}

void PressKey(HWND box, WPARAM key, WPARAM character) {
    KeyDown(box, key);
    if (character != 0) SendMessageW(box, WM_CHAR, character, KeyData(key));
    KeyUp(box, key);
}

void TypeText(HWND box, const std::string& text) {
    for (wchar_t c : Wide(text)) {
        SHORT scan = c < 0x80 ? VkKeyScanW(c) : -1;
        if (scan == -1) {  // no key for it: the character alone, as an input method brings it
            SendMessageW(box, WM_CHAR, c, 1);
            continue;
        }
        bool shift = (HIBYTE(scan) & 1) != 0;
        if (shift) KeyDown(box, VK_SHIFT);
        PressKey(box, LOBYTE(scan), c);
        if (shift) KeyUp(box, VK_SHIFT);
    }
}

}  // namespace testsupport
