// Appending lines after any existing file: a reload gives the old lines, then the new ones, the
// newest 512 at most. Input: the old file's bytes, a NUL, then the new lines separated by LF.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "commands/HistoryFile.h"
#include "tests/support/ReferenceHistory.h"

namespace {

constexpr std::size_t kSlots = 512;

// As the box records a line: no break, no NUL, at most kMaxLineLength characters.
std::string AsRecorded(std::string line) {
    line.erase(std::remove_if(line.begin(), line.end(),
                              [](char c) { return c == '\r' || c == '\n' || c == '\0'; }),
               line.end());
    if (line.size() > torvex::history::kMaxLineLength) line.resize(torvex::history::kMaxLineLength);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t split = input.find('\0');
    if (split == std::string::npos) return 0;
    std::string old = input.substr(0, split);
    std::vector<std::string> added;
    for (std::size_t start = split + 1; start <= input.size();) {
        std::size_t end = std::min(input.find('\n', start), input.size());
        added.push_back(AsRecorded(input.substr(start, end - start)));
        start = end + 1;
    }

    static const std::string path = "/tmp/torvex-fuzz-append-" + std::to_string(getpid());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << old;
    for (const std::string& line : added) {
        if (!torvex::history::AppendLine(path.c_str(), line.c_str())) std::abort();
    }
    std::vector<std::string> expected = testsupport::ReferenceHistory(old, SIZE_MAX);
    expected.insert(expected.end(), added.begin(), added.end());
    if (expected.size() > kSlots) expected.erase(expected.begin(), expected.end() - kSlots);

    std::vector<std::string> loaded;
    if (!torvex::history::LoadNewestLines(path.c_str(), kSlots, loaded)) std::abort();
    if (loaded != expected) std::abort();
    return 0;
}
