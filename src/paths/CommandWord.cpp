#include "paths/CommandWord.h"

namespace torvex::words {
namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

}  // namespace

Parsed WordAt(const std::u16string& line, std::size_t from, bool program) {
    Parsed word;
    std::size_t i = from;
    while (i < line.size() && IsBlank(line[i])) ++i;
    word.start = i;
    bool quoted = false;
    std::size_t backslashes = 0;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
        char16_t c = line[i];
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"' && program && quoted) {
            // No path holds a quote: the closing one ends a program's path, and a backslash
            // before it belongs to the path ("C:\Program Files\"), the doubled one that Tab
            // writes standing for one.
            word.text.append((backslashes + 1) / 2, u'\\');
            quoted = false;
        } else if (c == u'"') {
            // Backslashes before a quote are halved; an odd one out makes the quote a character.
            word.text.append(backslashes / 2, u'\\');
            if (backslashes % 2 == 1) word.text += u'"';
            if (backslashes % 2 == 0) quoted = !quoted;
        } else {
            word.text.append(backslashes, u'\\');
            word.text += c;
        }
        backslashes = 0;
    }
    word.text.append(backslashes, u'\\');
    word.end = i;
    return word;
}

Word WordBefore(const std::u16string& line, std::size_t caret) {
    std::u16string head = line.substr(0, caret);
    bool first = true;
    for (std::size_t from = 0;; first = false) {
        Parsed word = WordAt(head, from, first);
        if (word.start >= head.size()) return {head.size(), u"", first};  // after a blank
        if (word.end >= head.size()) return {word.start, word.text, first};
        from = word.end;
    }
}

std::u16string AsWord(const std::u16string& path, bool quote) {
    if (!quote && path.find_first_of(u" \t\"") == std::u16string::npos) return path;
    std::u16string word = u"\"";
    std::size_t backslashes = 0;
    for (char16_t c : path) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled and the quote escaped; elsewhere they stay.
        word.append(c == u'"' ? 2 * backslashes + 1 : backslashes, u'\\');
        word += c;
        backslashes = 0;
    }
    word.append(2 * backslashes, u'\\');  // before the closing quote: "C:\My Folder\\"
    return word + u'"';
}

bool IsAbsolute(const std::u16string& path) {
    return (path.size() >= 2 && path[1] == u':') || (!path.empty() && IsSeparator(path[0]));
}

std::size_t DeleteStart(const std::u16string& line, std::size_t caret) {
    std::size_t i = caret < line.size() ? caret : line.size();
    while (i > 0 && IsBlank(line[i - 1])) --i;
    if (i > 0 && IsSeparator(line[i - 1])) --i;
    while (i > 0 && !IsBlank(line[i - 1]) && !IsSeparator(line[i - 1])) --i;
    return i;
}

}  // namespace torvex::words
