#include "interpreter/Aliases.h"

#include <windows.h>

#include <fstream>

#include "paths/CommandWord.h"
#include "text/Utf.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace torvex {
namespace {

const char16_t kKey[] = u"torvex.alias:";
const char16_t kBlanks[] = u" \t\r";
const char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr std::size_t kMostFileBytes = 1024 * 1024;  // an rc file is a few lines

bool SameIgnoringCase(const std::u16string& a, const std::u16string& b) {
    return CompareStringOrdinal(ToWide(a).c_str(), static_cast<int>(a.size()), ToWide(b).c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::u16string Trimmed(const std::u16string& text) {
    std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::u16string::npos) return u"";
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The rest of the line, percent-encoded in UTF-8: letters, digits and "-_.~" stay as they are.
std::u16string ForUrl(const std::u16string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::u16string encoded;
    for (unsigned char byte : utf::EncodeUtf8(text)) {
        bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                     (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' ||
                     byte == '~';
        if (plain) {
            encoded += static_cast<char16_t>(byte);
        } else {
            encoded += {u'%', static_cast<char16_t>(kHex[byte >> 4]),
                        static_cast<char16_t>(kHex[byte & 15])};
        }
    }
    return encoded;
}

// The placeholder that begins at `at` in `expansion`, and what it stands for; false when the
// brace there begins none.
bool Placeholder(const std::u16string& expansion, std::size_t at,
                 const std::vector<std::u16string>& words, const std::u16string& rest,
                 std::u16string& value, std::size_t& length) {
    std::size_t close = expansion.find(u'}', at);
    if (close == std::u16string::npos) return false;
    std::u16string inside = expansion.substr(at + 1, close - at - 1);
    length = close - at + 1;
    if (inside == u"*") {
        value = rest;
    } else if (inside == u"url") {
        value = ForUrl(rest);
    } else if (!inside.empty() && inside.size() <= 3 &&
               inside.find_first_not_of(u"0123456789") == std::u16string::npos) {
        std::size_t index = std::stoul(std::string(inside.begin(), inside.end()));
        value = index >= 1 && index <= words.size() ? words[index - 1] : u"";
    } else {
        return false;
    }
    return true;
}

}  // namespace

void AliasTable::Load(const char* path) {
    enabled_ = true;
    aliases_.clear();
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < kMostFileBytes && in.read(chunk, sizeof(chunk)).gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
    // Editors that save UTF-8 may put a byte order mark first; it is no part of the first line.
    const std::size_t first = bytes.compare(0, 3, kUtf8Mark) == 0 ? 3 : 0;
    for (std::size_t start = first; start < bytes.size();) {
        std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        std::string_view raw = std::string_view(bytes).substr(start, end - start);
        std::u16string line;
        if (!utf::DecodeUtf8(raw, line)) line = FromCodePage(raw);
        TakeLine(line);
        start = end + 1;
    }
}

// A line that is no alias, or a bad one (no name, no expansion, a quote in the name, one alias
// too many), is skipped; an expansion longer than a line may be is kept, cut, to be refused.
void AliasTable::TakeLine(const std::u16string& text) {
    std::u16string line = Trimmed(text);
    const std::size_t keyLength = std::char_traits<char16_t>::length(kKey);
    if (line.size() < keyLength || !SameIgnoringCase(line.substr(0, keyLength), kKey)) return;
    std::u16string value = Trimmed(line.substr(keyLength));
    if (SameIgnoringCase(value, u"false") || SameIgnoringCase(value, u"true")) {
        enabled_ = SameIgnoringCase(value, u"true");
        return;
    }
    std::size_t nameEnd = value.find_first_of(kBlanks);
    if (nameEnd == std::u16string::npos || aliases_.size() >= kMostAliases) return;
    std::u16string name = value.substr(0, nameEnd);
    std::u16string expansion = Trimmed(value.substr(nameEnd));
    if (name.find(u'"') != std::u16string::npos || expansion.empty() || Find(name) != nullptr) {
        return;
    }
    bool tooLong = expansion.size() > kMaxLineLength;
    if (tooLong) expansion.clear();  // never run: nothing of it is kept
    aliases_.push_back({name, expansion, tooLong});
}

const AliasTable::Alias* AliasTable::Find(const std::u16string& name) const {
    for (const Alias& alias : aliases_) {
        if (SameIgnoringCase(alias.name, name)) return &alias;
    }
    return nullptr;
}

std::vector<std::u16string> AliasTable::NamesStartingWith(const std::u16string& prefix) const {
    std::vector<std::u16string> names;
    if (!enabled_) return names;
    for (const Alias& alias : aliases_) {
        if (alias.name.size() >= prefix.size() &&
            SameIgnoringCase(alias.name.substr(0, prefix.size()), prefix)) {
            names.push_back(alias.name);
        }
    }
    return names;
}

AliasTable::Found AliasTable::Expand(const std::u16string& line, std::u16string& expanded,
                                     std::u16string& name) const {
    if (!enabled_) return Found::kNone;
    words::Parsed first = words::WordAt(line, 0);
    const Alias* alias = first.start < line.size() && line[first.start] != u'"'
                             ? Find(line.substr(first.start, first.end - first.start))
                             : nullptr;
    if (alias == nullptr) return Found::kNone;
    name = alias->name;
    if (alias->tooLong) return Found::kTooLong;
    std::size_t restStart = line.find_first_not_of(u" \t", first.end);
    std::u16string rest = restStart == std::u16string::npos ? u"" : line.substr(restStart);
    std::vector<std::u16string> words;
    for (words::Parsed word = words::WordAt(line, first.end); word.start < line.size();
         word = words::WordAt(line, word.end)) {
        words.push_back(line.substr(word.start, word.end - word.start));
    }
    expanded.clear();
    const std::u16string& text = alias->expansion;
    // Refused as soon as it is longer than a line: what fills its placeholders can make it
    // thousands of times longer than that.
    for (std::size_t i = 0; i < text.size() && expanded.size() <= kMaxLineLength;) {
        std::u16string value;
        std::size_t length = 0;
        if (text[i] == u'{' && Placeholder(text, i, words, rest, value, length)) {
            expanded += value;
            i += length;
        } else {
            expanded += text[i++];
        }
    }
    return expanded.size() > kMaxLineLength ? Found::kTooLong : Found::kExpanded;
}

}  // namespace torvex
