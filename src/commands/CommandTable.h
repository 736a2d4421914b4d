#pragma once
// The dot-commands that become messages to the shell's main window.
#include <windows.h>

namespace torvex {

struct DotCommand {
    const char* line;
    UINT message;
    WPARAM wParam;
};

// The command posted for `line` (compared whole, ignoring case), or nullptr.
const DotCommand* FindDotCommand(const char* line);

constexpr char kClearCommand[] = ".clear";
constexpr char kWhoCommand[] = ".who";  // compared on its first four characters

}  // namespace torvex
