// Appending lines in any script after any existing file: a reload gives the old lines, then the
// new ones, the newest 512 at most. Input: the old file's bytes, a NUL, then the new lines as
// UTF-16 LE units, separated by LF. A UTF-16 file takes them as they are; a UTF-8 one takes a
// lone surrogate, which has no UTF-8 form, as U+FFFD.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "history/HistoryFile.h"
#include "tests/support/ReferenceHistory.h"

namespace {

constexpr std::size_t kSlots = 512;

bool IsHigh(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLow(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// As the box records a line: no break, no NUL, at most kMaxLineLength units, whole characters.
std::u16string AsRecorded(std::u16string line) {
    line.erase(std::remove_if(line.begin(), line.end(),
                              [](char16_t c) { return c == u'\r' || c == u'\n' || c == 0; }),
               line.end());
    return testsupport::Cut(line);
}

std::u16string AsInUtf8(std::u16string line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (IsHigh(line[i]) && i + 1 < line.size() && IsLow(line[i + 1])) {
            ++i;
        } else if (IsHigh(line[i]) || IsLow(line[i])) {
            line[i] = 0xFFFD;
        }
    }
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t split = input.find('\0');
    if (split == std::string::npos) return 0;
    std::string old = input.substr(0, split);
    std::u16string units;
    for (std::size_t i = split + 1; i + 1 < input.size(); i += 2) {
        units += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    }
    const bool wide = old.size() >= 2 && old[0] == '\xFF' && old[1] == '\xFE';
    std::vector<std::u16string> added;
    for (std::size_t start = 0; start <= units.size();) {
        std::size_t end = std::min(units.find(u'\n', start), units.size());
        added.push_back(AsRecorded(units.substr(start, end - start)));
        start = end + 1;
    }

    static const std::string path = "/tmp/torvex-fuzz-append-" + std::to_string(getpid());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << old;
    for (const std::u16string& line : added) {
        if (!torvex::history::AppendLine(path, line)) std::abort();
    }
    // A lone byte at the end of a UTF-16 file becomes a unit of its last line.
    std::string kept = old + (wide && old.size() % 2 == 1 ? std::string(1, '\0') : "");
    std::vector<std::u16string> expected = testsupport::ReferenceHistory(kept, SIZE_MAX);
    for (const std::u16string& line : added) expected.push_back(wide ? line : AsInUtf8(line));
    if (expected.size() > kSlots) expected.erase(expected.begin(), expected.end() - kSlots);

    std::vector<std::u16string> loaded;
    if (!torvex::history::LoadNewestLines(path, kSlots, testsupport::Latin1, loaded)) std::abort();
    if (loaded != expected) std::abort();
    return 0;
}
