#pragma once
// The box holds UTF-16; the shell, its settings and broadcast commands, and engines of the older
// kind speak the ANSI code page. The portable code works in std::u16string.
#include <string>
#include <string_view>

namespace torvex {

inline std::u16string ToU16(std::wstring_view text) {
    return {text.begin(), text.end()};
}
inline std::wstring ToWide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

// `text` in the ANSI code page; false when a character of it has no form there, where it would
// go over as '?' or as a look-alike.
bool ToCodePage(std::wstring_view text, std::string& bytes);

// Bytes in the ANSI code page, in UTF-16.
std::u16string FromCodePage(std::string_view bytes);

}  // namespace torvex
