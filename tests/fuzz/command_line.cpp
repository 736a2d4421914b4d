// Expanding %VARIABLES% and splitting a line into what to run and its arguments: nothing is read
// past the line (the sanitizers watch), a line without % is left as it is, and the program and
// its arguments give back the expanded line, apart from blanks and quotes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

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

std::string WithoutBlanksAndQuotes(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) { return c == ' ' || c == '\t' || c == '"'; }),
               text.end());
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The engine reads the line as window text: it ends at the first NUL.
    std::string line(reinterpret_cast<const char*>(data), size);
    line.resize(std::min(line.find('\0'), line.size()));

    std::string expanded = quorlin::ExpandVariables(line, LookUp);
    if (line.find('%') == std::string::npos && expanded != line) std::abort();
    quorlin::Command command = quorlin::Split(expanded);
    if (WithoutBlanksAndQuotes(command.program + command.arguments) !=
        WithoutBlanksAndQuotes(expanded)) {
        std::abort();
    }
    return 0;
}
