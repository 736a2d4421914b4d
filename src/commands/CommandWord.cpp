#include "commands/CommandWord.h"

namespace torvex::words {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

Parsed WordAt(const std::string& line, std::size_t from, bool program) {
    Parsed word;
    std::size_t i = from;
    while (i < line.size() && IsBlank(line[i])) ++i;
    word.start = i;
    bool quoted = false;
    std::size_t backslashes = 0;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
        char c = line[i];
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"' && program && quoted) {
            // No path holds a quote: the closing one ends a program's path, and a backslash
            // before it belongs to the path ("C:\Program Files\"), the doubled one that Tab
            // writes standing for one.
            word.text.append((backslashes + 1) / 2, '\\');
            quoted = false;
        } else if (c == '"') {
            // Backslashes before a quote are halved; an odd one out makes the quote a character.
            word.text.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) word.text += '"';
            if (backslashes % 2 == 0) quoted = !quoted;
        } else {
            word.text.append(backslashes, '\\');
            word.text += c;
        }
        backslashes = 0;
    }
    word.text.append(backslashes, '\\');
    word.end = i;
    return word;
}

Word WordBefore(const std::string& line, std::size_t caret) {
    std::string head = line.substr(0, caret);
    bool first = true;
    for (std::size_t from = 0;; first = false) {
        Parsed word = WordAt(head, from, first);
        if (word.start >= head.size()) return {head.size(), "", first};  // after a blank
        if (word.end >= head.size()) return {word.start, word.text, first};
        from = word.end;
    }
}

std::string AsWord(const std::string& path, bool quote) {
    if (!quote && path.find_first_of(" \t\"") == std::string::npos) return path;
    std::string word = "\"";
    std::size_t backslashes = 0;
    for (char c : path) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled and the quote escaped; elsewhere they stay.
        word.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        word += c;
        backslashes = 0;
    }
    word.append(2 * backslashes, '\\');  // before the closing quote: "C:\My Folder\\"
    return word + '"';
}

bool IsAbsolute(const std::string& path) {
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && IsSeparator(path[0]));
}

std::size_t DeleteStart(const std::string& line, std::size_t caret) {
    std::size_t i = caret < line.size() ? caret : line.size();
    while (i > 0 && IsBlank(line[i - 1])) --i;
    if (i > 0 && IsSeparator(line[i - 1])) --i;
    while (i > 0 && !IsBlank(line[i - 1]) && !IsSeparator(line[i - 1])) --i;
    return i;
}

}  // namespace torvex::words
