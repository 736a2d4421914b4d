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
