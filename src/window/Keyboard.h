#pragma once
#include <windows.h>

namespace torvex {

// Ctrl is down at this moment (not as of the message being handled).
inline bool IsControlDown() {
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

// The key is held as of the message being handled.
inline bool IsHeld(int key) {
    return GetKeyState(key) < 0;
}

}  // namespace torvex
