#include "engine/CommandLine.h"

namespace quorlin {
namespace {
const char kBlanks[] = " \t";
}

bool IsForEngine(const std::string& line) {
    if (!line.empty() && line[0] == '@') return false;
    return line.find_first_not_of(kBlanks) != std::string::npos;
}

Command Split(const std::string& line) {
    std::size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string::npos) return {};
    Command command;
    std::size_t end;
    if (line[start] == '"') {
        std::size_t close = line.find('"', start + 1);
        end = close == std::string::npos ? line.size() : close + 1;
        command.program =
            line.substr(start + 1, (close == std::string::npos ? line.size() : close) - start - 1);
    } else {
        end = line.find_first_of(kBlanks, start);
        if (end == std::string::npos) end = line.size();
        command.program = line.substr(start, end - start);
    }
    std::size_t rest = line.find_first_not_of(kBlanks, end);
    if (rest != std::string::npos) command.arguments = line.substr(rest);
    return command;
}

}  // namespace quorlin

namespace quorlin {

std::string ExpandVariables(const std::string& line, const VariableLookup& lookup) {
    std::string expanded;
    std::size_t position = 0;
    while (position < line.size()) {
        std::size_t open = line.find('%', position);
        std::size_t close = open == std::string::npos ? open : line.find('%', open + 1);
        if (close == std::string::npos) break;
        expanded.append(line, position, open - position);
        std::string value;
        if (lookup(line.substr(open + 1, close - open - 1), value)) {
            expanded += value;
        } else {
            expanded.append(line, open, close - open + 1);
        }
        position = close + 1;
    }
    if (position < line.size()) expanded.append(line, position, std::string::npos);
    return expanded;
}

}  // namespace quorlin
