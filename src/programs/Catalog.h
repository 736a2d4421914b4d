#pragma once
// The programs the box knows, made ready for the keys once, on the list's own thread: the box
// only reads it, and takes a new one whole. And what a key asks of it: the entry to suggest for
// what is typed, worked out from the entries that matched the text before when the text only
// grew, and the entry that a line's first words name. Plain portable C++, so that it builds
// natively too.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "programs/ListFile.h"
#include "programs/Matching.h"

namespace torvex::programs {

// The maps look into the entries' own texts: a catalog is made once, in its place, and never
// copied.
struct Catalog {
    Catalog() = default;
    Catalog(const Catalog&) = delete;
    Catalog& operator=(const Catalog&) = delete;

    std::vector<Entry> entries;
    std::vector<std::u16string> starts;  // of each entry: what ShellExecuteEx is given
    std::vector<Prepared> prepared;
    std::unordered_map<std::u16string_view, int> byKey;
    std::unordered_map<std::u16string_view, int> byName;  // folded; a program before a document
};

// Each key once: a later entry with the key of an earlier one is left out.
std::shared_ptr<const Catalog> MakeCatalog(std::vector<Listed> list);

// The entry whose name (case-free and accent-free) is what the line's first words say, the
// longest such name; `rest`: the words after it, without the blanks before them.
struct Named {
    int entry = -1;
    std::u16string rest;
};
Named NamedBy(const Catalog& catalog, std::u16string_view line);

// A learnt pick: the text it was picked from (folded), and its entry in the catalog.
struct Pick {
    std::u16string text;
    int entry = -1;
};

// The best entry for a key, as Best gives it. What matches a text matches every text that it
// starts (each tier's match is a match of a shorter start too), so a text that only grew is
// looked for among the entries that matched before, not among all; and the texts on the way are
// kept, so that Backspace back to one of them looks for nothing.
class Suggester {
  public:
    int Suggest(std::u16string_view typed, const Catalog& catalog,
                const std::vector<Pick>& picksNewestFirst,
                const std::function<std::uint64_t(int entry)>& score);
    void Forget() { levels_.clear(); }  // another catalog, other picks or scores

  private:
    struct Level {
        std::u16string folded;
        Matches matches;
        int best = -1;
    };
    const Catalog* catalog_ = nullptr;
    std::vector<Level> levels_;  // each text a start of the next
};

}  // namespace torvex::programs
