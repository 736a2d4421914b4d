#include "engine/CommandLine.h"

#include "commands/CommandWord.h"

namespace quorlin {
namespace {
const char16_t kBlanks[] = u" \t";
}

bool IsForEngine(const std::u16string& line) {
    if (!line.empty() && line[0] == u'@') return false;
    return line.find_first_not_of(kBlanks) != std::u16string::npos;
}

namespace {

// An unquoted first word that names no existing file: the longest part of the line that ends
// before a blank (or the whole line) and names one is what to run, as the Run dialog takes
// "C:\Program Files\App\app.exe -x". The position after it, or npos.
std::size_t UnquotedPathEnd(const std::u16string& line, std::size_t start, std::size_t firstEnd,
                            const FileExists& exists) {
    std::size_t end = line.find_last_not_of(kBlanks) + 1;
    while (end > firstEnd) {
        if (exists(line.substr(start, end - start))) return end;
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
