#pragma once
// Aliases: short words for long lines, from "torvex.alias: NAME EXPANSION" lines of torvex.rc.
// The expansion's placeholders take what follows the name in the typed line:
//   {1}, {2}, ...  the first, second, ... further word, as typed (a quoted word is one word)
//   {*}            all of the rest of the line, as typed
//   {url}          all of the rest, percent-encoded in UTF-8 for a web address
// Braces are neither a %VARIABLE%, nor quoting, nor anything a web address holds as it is, so a
// placeholder cannot be mistaken for them. A placeholder with nothing to fill it is left empty.
// "torvex.alias: false" switches aliases off.
#include <string>
#include <vector>

namespace torvex {

class AliasTable {
  public:
    static constexpr std::size_t kMostAliases = 512;  // a longer list is cut there

    // Reads the alias lines of the rc file at `path` (the shell's code page, or UTF-8).
    void Load(const char* path);

    bool enabled() const { return enabled_; }
    // The names that begin with `prefix`, case ignored, in the order of the file.
    std::vector<std::u16string> NamesStartingWith(const std::u16string& prefix) const;

    enum class Found { kNone, kExpanded, kTooLong };
    // When the line's first word names an alias: the line it stands for, and its name.
    Found Expand(const std::u16string& line, std::u16string& expanded, std::u16string& name) const;

  private:
    struct Alias {
        std::u16string name, expansion;
        bool tooLong;  // longer than a line may be, whatever fills its placeholders: refused
    };
    void TakeLine(const std::u16string& line);
    const Alias* Find(const std::u16string& name) const;

    bool enabled_ = true;
    std::vector<Alias> aliases_;
};

}  // namespace torvex
