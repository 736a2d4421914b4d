#pragma once
// UTF-8 and UTF-16, in plain portable C++ so that the history file's code builds natively too.
#include <cstddef>
#include <string>
#include <string_view>

namespace torvex::utf {

// The text of strict UTF-8 bytes (no overlong forms, no surrogates, nothing above U+10FFFF) in
// UTF-16; false, with `text` undefined, when the bytes are not such UTF-8.
bool DecodeUtf8(std::string_view bytes, std::u16string& text);

// The UTF-8 of `text`. A lone surrogate has no UTF-8 form: it becomes U+FFFD.
std::string EncodeUtf8(std::u16string_view text);

// `text` with each half of a surrogate pair that stands alone (no character: an editor that
// deleted only one half leaves one) replaced by U+FFFD, as it is written in UTF-8.
std::u16string WithoutLoneHalves(std::u16string text);

// The greatest length up to `most` that does not end between the halves of a surrogate pair.
std::size_t CutLength(std::u16string_view text, std::size_t most);

inline bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace torvex::utf
