#pragma once
// Copying text into fixed buffers without ever writing past them.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace torvex {

// Copies as much of `source` as fits, always terminated; true when nothing was cut. A null
// source (a shell reader that had no answer) counts as the empty text.
inline bool CopyText(char* target, std::size_t size, const char* source) {
    if (size == 0) return false;
    if (source == nullptr) source = "";
    std::size_t length = std::strlen(source);
    bool fits = length < size;
    if (!fits) length = size - 1;
    std::memmove(target, source, length);
    target[length] = '\0';
    return fits;
}

// Appends `source` only when it fits whole; a path cut short would name another file.
inline bool AppendWhole(char* target, std::size_t size, const char* source) {
    if (source == nullptr) source = "";
    std::size_t used = strnlen(target, size);
    std::size_t length = std::strlen(source);
    if (used >= size || length >= size - used) return false;
    std::memcpy(target + used, source, length + 1);
    return true;
}

// A value worked out wide, brought back into the range of an int.
inline int ClampToInt(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int>(value);
}

template <std::size_t N>
bool CopyText(char (&target)[N], const char* source) {
    return CopyText(target, N, source);
}

template <std::size_t N>
bool AppendWhole(char (&target)[N], const char* source) {
    return AppendWhole(target, N, source);
}

}  // namespace torvex
