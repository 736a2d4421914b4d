#pragma once
// What the plug-in itself tells the user, in message boxes of its own.

namespace torvex::texts {

// The one box the shell's users have always known: the engine is missing.
constexpr char kEngineMissing[] = "Can't load DLL: quorlin.dll";
constexpr char kEngineMissingCaption[] = "bug:";

constexpr wchar_t kCaption[] = L"Torvex";
// An engine that reads the line from the first top-level Edit window, while a window of another
// program stands first: the line would go there instead.
constexpr wchar_t kHandOverRefused[] =
    L"The line was not run, and it is still in the box.\n\n"
    L"quorlin.dll reads the line from the first Edit window on the desktop, and a window of "
    L"another program stands first now.";
// Each follows the line, in quotes. The shell and engines of the older kind take text in the
// system's code page only.
constexpr wchar_t kNotForShell[] =
    L" was not sent to the shell, and it is still in the box.\n\n"
    L"It holds characters that the shell's broadcast commands cannot carry.";
constexpr wchar_t kNotForEngine[] =
    L" was not run, and it is still in the box.\n\n"
    L"It holds characters that this quorlin.dll cannot take: it is of an older kind.";

// Follows an alias's name in quotes.
constexpr wchar_t kAliasTooLong[] =
    L" stands for a line longer than a line may be (4,095 characters). Nothing was run.";
// An engine that has no way to run a line as administrator (Ctrl+Shift+Enter).
constexpr wchar_t kCannotElevate[] =
    L" was not run, and it is still in the box.\n\n"
    L"This quorlin.dll cannot run a line as administrator: it is of an older kind.";

// A program by its name that the system could not start; the system's reason follows.
constexpr wchar_t kCannotStart[] = L" could not be started, and it is still in the box.\n\n";

// Follows the counts file's path, in quotes, when ".clear" could neither delete nor empty it.
constexpr wchar_t kCountsNotForgotten[] =
    L" could not be deleted or emptied: it still holds the lines run and when each was last "
    L"run.\n\nClose the program that holds it, or make it writable, and clear again.";

// A message box that names the line, in quotes, followed by `what`.
void TellAboutLine(const wchar_t* line, const wchar_t* what);

}  // namespace torvex::texts
