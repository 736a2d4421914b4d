#pragma once
// Copying text into fixed buffers without ever writing past them, in bytes or in UTF-16 units.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace torvex {

// Copies as much of `source` as fits, always terminated; true when nothing was cut. A null
// source (a shell reader that had no answer) counts as the empty text.
template <typename Char>
bool CopyText(Char* target, std::size_t size, const Char* source) {
    if (size == 0) return false;
    std::basic_string_view<Char> text = source != nullptr ? source : std::basic_string_view<Char>();
    bool fits = text.size() < size;
    std::size_t length = fits ? text.size() : size - 1;
    std::char_traits<Char>::move(target, text.data(), length);  // `source` may lie in `target`
    target[length] = Char();
    return fits;
}

// Appends `source` only when it fits whole; a path cut short would name another file.
template <typename Char>
bool AppendWhole(Char* target, std::size_t size, const Char* source) {
    std::basic_string_view<Char> text = source != nullptr ? source : std::basic_string_view<Char>();
    std::size_t used = 0;
    while (used < size && target[used] != Char()) ++used;
    if (used >= size || text.size() >= size - used) return false;
    text.copy(target + used, text.size());
    target[used + text.size()] = Char();
    return true;
}

// A value worked out wide, brought back into the range of an int.
inline int ClampToInt(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int>(value);
}

template <typename Char, std::size_t N>
bool CopyText(Char (&target)[N], const Char* source) {
    return CopyText(target, N, source);
}

template <typename Char, std::size_t N>
bool AppendWhole(Char (&target)[N], const Char* source) {
    return AppendWhole(target, N, source);
}

}  // namespace torvex
