#pragma once
// What a word may complete to, found with the system's own lookups: one folder listed by
// FindFirstFileEx, the folders of PATH with the extensions of PATHEXT, and the App Paths keys
// that the Run dialog finds programs by.
#include <string>
#include <vector>

namespace torvex {

// The names, unquoted, that complete `word`: paths that begin with it (absolute, or relative to
// the user's profile folder; %VARIABLES% in its folder part stay as typed), a folder with a
// trailing backslash; for the line's first word without a path separator, also programs. In
// case-insensitive name order, each once.
std::vector<std::string> CompletionsOf(const std::string& word, bool firstWord);

// `text` with its %VARIABLES% expanded by the system; as it is when it cannot be.
std::string ExpandedVariables(const std::string& text);

}  // namespace torvex
