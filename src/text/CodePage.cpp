#include "text/CodePage.h"

#include <windows.h>

namespace torvex {

bool ToCodePage(std::wstring_view text, std::string& bytes) {
    bytes.clear();
    if (text.empty()) return true;
    const int length = static_cast<int>(text.size());
    // Where the code page is UTF-8 every character has a form; the system then refuses to say
    // whether it substituted one, and the question is left out.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL substituted = FALSE;
    BOOL* asked = utf8 ? nullptr : &substituted;
    int size = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, asked);
    if (size <= 0 || substituted) return false;
    bytes.resize(size);
    WideCharToMultiByte(CP_ACP, flags, text.data(), length, &bytes[0], size, nullptr, asked);
    return !substituted;
}

std::u16string FromCodePage(std::string_view bytes) {
    if (bytes.empty()) return u"";
    const int length = static_cast<int>(bytes.size());
    int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring text(size > 0 ? size : 0, L'\0');
    if (size > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, &text[0], size);
    return ToU16(text);
}

}  // namespace torvex
