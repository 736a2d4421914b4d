#pragma once
#include <windows.h>

namespace torvex {

// Keys whose key-down repaints the whole box: digits, letters, the keypad, space, Backspace
// and Delete.
bool IsRepaintKey(WPARAM virtualKey);

}  // namespace torvex
