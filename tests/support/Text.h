#pragma once
// Tests write their text in UTF-8; the box, the plug-in and the engine hold UTF-16.
#include <windows.h>

#include <string>
#include <string_view>

namespace testsupport {

inline std::wstring Wide(std::string_view utf8) {
    int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
    return text;
}

inline std::string Utf8(std::wstring_view text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

inline std::string Utf8(std::u16string_view text) {
    return Utf8(std::wstring(text.begin(), text.end()));
}

inline std::u16string U16(std::string_view utf8) {
    std::wstring text = Wide(utf8);
    return {text.begin(), text.end()};
}

}  // namespace testsupport
