// Removing a line from any history file (as Shift+Delete does): a reload gives every other line,
// in order, as the whole-file reference reads them. Input: a byte choosing the line, then the
// file's bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "history/HistoryFile.h"
#include "tests/support/ReferenceHistory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::u16string> lines = testsupport::ReferenceHistory(bytes, SIZE_MAX);
    if (lines.empty()) return 0;
    // The box lists a line up to a NUL (a damaged file's); every line listed so goes.
    auto listed = [](const std::u16string& line) { return line.substr(0, line.find(u'\0')); };
    std::u16string removed = listed(lines[data[0] % lines.size()]);
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const std::u16string& line) { return listed(line) == removed; }),
                lines.end());

    std::string after = torvex::history::WithoutLine(bytes, removed, testsupport::Latin1);
    std::istringstream in(after);
    if (torvex::history::ReadNewestLines(in, SIZE_MAX, testsupport::Latin1) != lines) std::abort();
    return 0;
}
