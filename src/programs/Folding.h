#pragma once
// Names compared as a user means them: without case and without accents ("Écran" is "ecran").
// Plain portable C++, so that the matching builds natively too.
#include <string>
#include <string_view>

namespace torvex::programs {

// One UTF-16 unit folded: lower case (Latin, Greek, Cyrillic), and a Latin letter with a diacritic
// or a stroke as its base letter (Latin-1 and Latin Extended-A; "ß" and "æ" stay). Other units
// are kept.
char16_t Folded(char16_t unit);
std::u16string Folded(std::u16string_view text);

}  // namespace torvex::programs
