#pragma once
// The obvious reading of a history file, to check the real reader against: decode the whole
// file's lines one by one, then keep the newest. Portable, for the fuzzers too.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/HistoryFile.h"

namespace testsupport {

// Each byte its own character: the code page of the portable tests.
inline std::u16string Latin1(std::string_view bytes) {
    std::u16string text;
    for (char byte : bytes) text += static_cast<char16_t>(static_cast<unsigned char>(byte));
    return text;
}

// Strict UTF-8, decoded by code point: false when the bytes are not UTF-8.
inline bool ReferenceUtf8(std::string_view bytes, std::u16string& text) {
    text.clear();
    for (std::size_t i = 0; i < bytes.size();) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        int more = lead < 0x80             ? 0
                   : (lead & 0xE0) == 0xC0 ? 1
                   : (lead & 0xF0) == 0xE0 ? 2
                   : (lead & 0xF8) == 0xF0 ? 3
                                           : -1;
        if (more < 0 || i + more >= bytes.size() + (more == 0)) return false;
        uint32_t code = more == 0 ? lead : lead & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        static const uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        if (code >= 0x10000) {
            text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            text += static_cast<char16_t>(code);
        }
        i += more + 1;
    }
    return true;
}

inline std::u16string Cut(std::u16string line) {
    std::size_t most = torvex::history::kMaxLineLength;
    if (line.size() > most) {
        bool pair = line[most - 1] >= 0xD800 && line[most - 1] <= 0xDBFF && line[most] >= 0xDC00 &&
                    line[most] <= 0xDFFF;
        line.resize(pair ? most - 1 : most);
    }
    return line;
}

// The lines of `bytes`: UTF-16 LE after its byte order mark; else each line UTF-8 where it is
// that, in Latin-1 where it is not, a UTF-8 byte order mark skipped.
inline std::vector<std::u16string> ReferenceHistory(const std::string& bytes,
                                                    std::size_t maxLines) {
    const bool wide = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    const bool mark = bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    std::u16string units;  // bytes as they are, or the file's UTF-16 units
    if (wide) {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           static_cast<unsigned char>(bytes[i + 1]) << 8);
        }
    } else {
        units = Latin1(std::string_view(bytes).substr(mark ? 3 : 0));
    }
    std::vector<std::u16string> all;
    for (std::size_t start = 0; start < units.size();) {
        std::size_t end = units.find(u'\n', start);
        std::u16string line = units.substr(start, end - start);
        if (end != std::u16string::npos && !line.empty() && line.back() == u'\r') line.pop_back();
        std::u16string text = line;
        if (!wide) {
            std::string raw(line.begin(), line.end());  // the bytes again
            if (!ReferenceUtf8(raw, text)) text = Latin1(raw);
        }
        all.push_back(Cut(text));
        if (end == std::u16string::npos) break;
        start = end + 1;
    }
    if (all.size() > maxLines) all.erase(all.begin(), all.end() - maxLines);
    return all;
}

}  // namespace testsupport
