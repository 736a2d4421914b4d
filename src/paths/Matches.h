#pragma once
// What a word may complete to, found with the system's own lookups: one folder listed by
// FindFirstFileEx, the folders of PATH with the extensions of PATHEXT, and the App Paths keys
// that the Run dialog finds programs by. In UTF-16: names in any script.
#include <string>
#include <vector>

namespace torvex {

// The names, unquoted, that complete `word`: paths that begin with it (absolute, or relative to
// the user's profile folder; %VARIABLES% in its folder part stay as typed), a folder with a
// trailing backslash; for the line's first word without a path separator, also programs, after
// the given alias names. In case-insensitive name order, each once. A word that ends in a
// variable's name begun with "%" completes to the names of variables instead ("%APP" gives
// "%APPDATA%").
std::vector<std::u16string> CompletionsOf(const std::u16string& word, bool firstWord,
                                          const std::vector<std::u16string>& aliasNames = {});

// `text` with its %VARIABLES% expanded by the system; as it is when it cannot be.
std::u16string ExpandedVariables(const std::u16string& text);

}  // namespace torvex
