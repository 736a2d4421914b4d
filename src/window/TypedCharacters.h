#pragma once
// The shell's message loop may be an ANSI one (GetMessageA): it would turn every character that
// its code page lacks into '?' before the box sees it. A hook on the thread's message retrieval
// takes such characters for the box out of the ANSI conversion's way, as a message of the
// plug-in's own that the box reads as the character.
#include <windows.h>

namespace torvex {

// The message that carries a typed character (wParam, UTF-16) past an ANSI message loop.
UINT TypedCharacterMessage();

// Hooks the calling thread's message retrieval for the box; null when it cannot. The hook is
// given back with UnhookWindowsHookEx.
HHOOK WatchTypedCharacters();

}  // namespace torvex
