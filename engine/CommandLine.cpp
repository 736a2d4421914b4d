#include "engine/CommandLine.h"

#include "paths/CommandWord.h"

namespace quorlin {
namespace {
const char16_t kBlanks[] = u" \t";
}

bool IsForEngine(const std::u16string& line) {
    if (!line.empty() && line[0] == u'@') return false;
    return line.find_first_not_of(kBlanks) != std::u16string::npos;
}

namespace {

// Windows reads a path part "." or "..", or one that ends in a dot or a blank, as another path.
// A candidate whose parts from its first blank on are such would not name what it says: an
// argument "..\..\x" would take the words before it away. Such a candidate is not taken.
bool ReadsAsWritten(std::u16string_view candidate, std::size_t firstBlank) {
    std::size_t partStart = 0;
    for (std::size_t i = 0; i <= candidate.size(); ++i) {
        if (i < candidate.size() && candidate[i] != u'\\' && candidate[i] != u'/') continue;
        std::u16string_view part = candidate.substr(partStart, i - partStart);
        bool altered = part == u"." || part == u".." ||
                       (!part.empty() && (part.back() == u'.' || part.back() == u' '));
        if (i > firstBlank && altered) return false;
        partStart = i + 1;
    }
    return true;
}

// An unquoted first word that names no existing file: the longest part of the line that ends
// before a blank (or the whole line) and names one is what to run, as the Run dialog takes
// "C:\Program Files\App\app.exe -x". The position after it, or npos.
std::size_t UnquotedPathEnd(const std::u16string& line, std::size_t start, std::size_t firstEnd,
                            const FileExists& exists) {
    std::size_t end = line.find_last_not_of(kBlanks) + 1;
    while (end > firstEnd) {
        std::u16string candidate = line.substr(start, end - start);
        if (ReadsAsWritten(candidate, firstEnd - start) && exists(candidate)) return end;
        std::size_t blank = line.find_last_of(kBlanks, end - 1);
        if (blank == std::u16string::npos || blank < firstEnd) break;
        end = line.find_last_not_of(kBlanks, blank) + 1;
    }
    return std::u16string::npos;
}

}  // namespace

Command Split(const std::u16string& line, const FileExists& exists) {
    std::size_t start = line.find_first_not_of(kBlanks);
    if (start == std::u16string::npos) return {};
    Command command;
    std::size_t end;
    if (line[start] == u'"') {
        // Quoted, "C:\Program Files\" and "C:\My Folder\\" (as Tab writes it) name folders.
        torvex::words::Parsed word = torvex::words::WordAt(line, start, true);
        command.program = word.text;
        end = word.end;
    } else {
        end = line.find_first_of(kBlanks, start);
        if (end == std::u16string::npos) end = line.size();
        if (exists && end < line.size() && !exists(line.substr(start, end - start))) {
            std::size_t pathEnd = UnquotedPathEnd(line, start, end, exists);
            if (pathEnd != std::u16string::npos) end = pathEnd;
        }
        command.program = line.substr(start, end - start);
    }
    std::size_t rest = line.find_first_not_of(kBlanks, end);
    if (rest != std::u16string::npos) command.arguments = line.substr(rest);
    return command;
}

}  // namespace quorlin

namespace quorlin {

std::u16string ExpandVariables(const std::u16string& line, const VariableLookup& lookup) {
    std::u16string expanded;
    std::size_t position = 0;
    while (position < line.size()) {
        std::size_t open = line.find(u'%', position);
        std::size_t close = open == std::u16string::npos ? open : line.find(u'%', open + 1);
        if (close == std::u16string::npos) break;
        expanded.append(line, position, open - position);
        std::u16string value;
        if (lookup(line.substr(open + 1, close - open - 1), value)) {
            expanded += value;
        } else {
            expanded.append(line, open, close - open + 1);
        }
        position = close + 1;
    }
    if (position < line.size()) expanded.append(line, position, std::u16string::npos);
    return expanded;
}

}  // namespace quorlin
