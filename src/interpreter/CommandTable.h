#pragma once
// The dot-commands that become messages to the shell's main window.
#include <windows.h>

#include <cstddef>

namespace torvex {

struct DotCommand {
    const char* line;
    UINT message;
    WPARAM wParam;
};

// The command posted for `line` (compared whole, ignoring case), or nullptr.
const DotCommand* FindDotCommand(const wchar_t* line);

// `line` is `command`, the case of ASCII letters ignored (and of no others); with `length`, on
// their first `length` characters only.
bool IsCommand(const wchar_t* line, const char* command, std::size_t length = ~std::size_t{0});

constexpr char kClearCommand[] = ".clear";
constexpr char kWhoCommand[] = ".who";  // compared on its first four characters
constexpr std::size_t kWhoLength = 4;

}  // namespace torvex
