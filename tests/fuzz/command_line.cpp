// Expanding %VARIABLES% and splitting a line into what to run and its arguments, with any answer
// to which paths exist: nothing is read past the line (the sanitizers watch), a line without %
// is left as it is, and the program and its arguments give back the expanded line, apart from
// blanks, quotes and the backslashes that quoting halves. Any text written as one word, as Tab
// completion writes a path, reads back as itself.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "commands/CommandWord.h"
#include "engine/CommandLine.h"

namespace {

bool LookUp(const std::string& name, std::string& value) {
    if (name == "BLANKS")
        value = "a b\tc";
    else if (name == "QUOTED")
        value = "\"q r\"";
    else if (name == "EMPTY")
        value = "";
    else if (name == "PERCENT")
        value = "%BLANKS%";
    else
        return false;
    return true;
}

std::string Bare(std::string text) {
    text.erase(
        std::remove_if(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\\'; }),
        text.end());
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // Which paths exist: every path whose length is a multiple of this.
    std::size_t existing = 1 + data[0] % 7;
    // The engine reads the line as window text: it ends at the first NUL.
    std::string line(reinterpret_cast<const char*>(data) + 1, size - 1);
    line.resize(std::min(line.find('\0'), line.size()));

    std::string expanded = quorlin::ExpandVariables(line, LookUp);
    if (line.find('%') == std::string::npos && expanded != line) std::abort();
    quorlin::Command command = quorlin::Split(
        expanded, [&](const std::string& path) { return path.size() % existing == 0; });
    if (Bare(command.program + command.arguments) != Bare(expanded)) std::abort();
    // A path written as one word (as Tab completion writes it) is read back as that path.
    if (torvex::words::WordAt(torvex::words::AsWord(expanded), 0).text != expanded) std::abort();
    return 0;
}
