#include "text/Utf.h"

namespace torvex::utf {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& text, char32_t code) {
    if (code < 0x10000) {
        text += static_cast<char16_t>(code);
        return;
    }
    code -= 0x10000;
    text += static_cast<char16_t>(0xD800 + (code >> 10));
    text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

void AppendUtf8(std::string& bytes, char32_t code) {
    if (code < 0x80) {
        bytes += static_cast<char>(code);
    } else if (code < 0x800) {
        bytes += static_cast<char>(0xC0 | code >> 6);
        bytes += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        bytes += static_cast<char>(0xE0 | code >> 12);
        bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | code >> 18);
        bytes += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

bool DecodeUtf8(std::string_view bytes, std::u16string& text) {
    text.clear();
    for (std::size_t i = 0; i < bytes.size();) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        char32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        // Overlong forms, surrogates and what lies above U+10FFFF are not UTF-8.
        static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            return false;
        }
        AppendUtf16(text, code);
        i += length;
    }
    return true;
}

std::string EncodeUtf8(std::u16string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            code = kReplacement;
        }
        AppendUtf8(bytes, code);
    }
    return bytes;
}

std::u16string WithoutLoneHalves(std::u16string text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            text[i] = static_cast<char16_t>(kReplacement);
        }
    }
    return text;
}

std::size_t CutLength(std::u16string_view text, std::size_t most) {
    if (text.size() <= most) return text.size();
    if (most > 0 && IsHighSurrogate(text[most - 1]) && IsLowSurrogate(text[most])) return most - 1;
    return most;
}

}  // namespace torvex::utf
