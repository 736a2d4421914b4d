#pragma once
// Keys as a keyboard brings them to the box: each key's key-down, its character and its key-up,
// as TranslateMessage makes them, with Shift held around capitals and symbols. Text is UTF-8; a
// character without a key comes alone, as an input method brings it (in two halves when it lies
// outside the Basic Multilingual Plane).
#include <windows.h>

#include <string>

namespace testsupport {

void KeyDown(HWND box, WPARAM key, bool repeat = false);
void KeyUp(HWND box, WPARAM key);
void PressKey(HWND box, WPARAM key, WPARAM character = 0);  // down, the character, up
void TypeText(HWND box, const std::string& text);
inline void TapShift(HWND box) {
    KeyDown(box, VK_SHIFT);
    KeyUp(box, VK_SHIFT);
}
inline void PressEnter(HWND box) {
    PressKey(box, VK_RETURN, '\r');
}

}  // namespace testsupport
