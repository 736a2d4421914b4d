#pragma once
// What the plug-in itself tells the user, in message boxes of its own.

namespace torvex::texts {

// The one box the shell's users have always known: the engine is missing.
constexpr char kEngineMissing[] = "Can't load DLL: quorlin.dll";
constexpr char kEngineMissingCaption[] = "bug:";

constexpr char kCaption[] = "Torvex";
// An engine that reads the line from the first top-level Edit window, while a window of another
// program stands first: the line would go there instead.
constexpr char kHandOverRefused[] =
    "The line was not run, and it is still in the box.\n\n"
    "quorlin.dll reads the line from the first Edit window on the desktop, and a window of "
    "another program stands first now.";

}  // namespace torvex::texts
