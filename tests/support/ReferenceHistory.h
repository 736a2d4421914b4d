#pragma once
// The obvious reading of a history file, to check the real reader against: split the whole file
// into lines, then keep the newest. Portable, for the fuzzers too.
#include <string>
#include <vector>

#include "commands/HistoryFile.h"

namespace testsupport {

inline std::vector<std::string> ReferenceHistory(const std::string& bytes, std::size_t maxLines) {
    using torvex::history::kMaxLineLength;
    std::vector<std::string> all;
    std::string line;
    std::size_t raw = 0;
    bool pending = false;
    for (char c : bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r' && raw <= kMaxLineLength) line.pop_back();
            all.push_back(line);
            line.clear();
            raw = 0;
            pending = false;
            continue;
        }
        pending = true;
        ++raw;
        if (line.size() < kMaxLineLength) line += c;
    }
    if (pending) all.push_back(line);
    if (all.size() > maxLines) all.erase(all.begin(), all.end() - maxLines);
    return all;
}

}  // namespace testsupport
