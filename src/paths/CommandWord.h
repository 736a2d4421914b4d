#pragma once
// Words of a command line as programs read them: blanks split words, double quotes hold blanks
// within one, and backslashes before a quote are halved (so that a quoted folder can end in
// one). Plain portable C++, so that it can be built natively too.
#include <cstddef>
#include <string>

namespace torvex::words {

// The first word at or after `from` (blanks before it skipped): where it starts and ends in the
// line, and what it says with its quotes taken off. A `program` word is read as a program's path:
// its closing quote always closes it, a backslash before that quote kept.
struct Parsed {
    std::size_t start = 0;
    std::size_t end = 0;
    std::u16string text;
};
Parsed WordAt(const std::u16string& line, std::size_t from, bool program = false);

// The word that ends at `caret`: where it starts, what it says with its quotes taken off, and
// whether it is the line's first word.
struct Word {
    std::size_t start = 0;
    std::u16string text;
    bool first = true;
};
Word WordBefore(const std::u16string& line, std::size_t caret);

// `path` written as one word that a program reads back as exactly `path`: in double quotes when
// it holds a blank or `quote` asks for them, with the backslashes before the closing quote
// doubled.
std::u16string AsWord(const std::u16string& path, bool quote = false);

// Whether `path` stands on its own: from a drive ("C:..."), a drive's root ("\...") or a server
// ("\\..."); any other path is relative to the folder it is looked for in.
bool IsAbsolute(const std::u16string& path);

// Where Ctrl+Backspace deletes from: back over the blanks before the caret, then over one path
// separator and the name before it, so that "C:\Users\me" goes by "me", then by "Users\".
std::size_t DeleteStart(const std::u16string& line, std::size_t caret);

}  // namespace torvex::words
