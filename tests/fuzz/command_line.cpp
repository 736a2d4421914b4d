// Expanding %VARIABLES% and splitting a line into what to run and its arguments, with any answer
// to which paths exist: nothing is read past the line (the sanitizers watch), a line without %
// is left as it is, and the program and its arguments give back the expanded line, apart from
// blanks, quotes and the backslashes that quoting halves. Any text written as one word, as Tab
// completion writes a path, reads back as itself.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "paths/CommandWord.h"
#include "engine/CommandLine.h"

namespace {

bool LookUp(const std::u16string& name, std::u16string& value) {
    if (name == u"BLANKS")
        value = u"a b\tc";
    else if (name == u"QUOTED")
        value = u"\"q r\"";
    else if (name == u"EMPTY")
        value = u"";
    else if (name == u"PERCENT")
        value = u"%BLANKS%";
    else if (name == u"日本")
        value = u"Жёлтый \U0001F600";
    else
        return false;
    return true;
}

std::u16string Bare(std::u16string text) {
    text.erase(std::remove_if(
                   text.begin(), text.end(),
                   [](char16_t c) { return c == u' ' || c == u'\t' || c == u'"' || c == u'\\'; }),
               text.end());
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // Which paths exist: every path whose length is a multiple of this.
    std::size_t existing = 1 + data[0] % 7;
    // The line in UTF-16 units, any of them; the engine takes it up to its first NUL.
    std::u16string line;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        line += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    line.resize(std::min(line.find(u'\0'), line.size()));

    std::u16string expanded = quorlin::ExpandVariables(line, LookUp);
    if (line.find(u'%') == std::u16string::npos && expanded != line) std::abort();
    quorlin::Command command = quorlin::Split(
        expanded, [&](const std::u16string& path) { return path.size() % existing == 0; });
    if (Bare(command.program + command.arguments) != Bare(expanded)) std::abort();
    // A path written as one word (as Tab completion writes it) is read back as that path.
    if (torvex::words::WordAt(torvex::words::AsWord(expanded), 0).text != expanded) std::abort();
    return 0;
}
