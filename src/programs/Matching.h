#pragma once
// Which installed program a few typed letters mean: the whole name, its start, the initials of its
// words ("vsc": Visual Studio Code), the starts of its words in order ("stu cod"), anything in
// it; case-free and accent-free. Plain portable C++, so that it builds natively too.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvex::programs {

enum class Kind {
    kProgram,   // a shortcut to a program, or a program registered under App Paths
    kDocument,  // an Internet shortcut, or a shortcut whose target is no program
    kPackaged,  // a packaged app, started by its AppUserModelID
};

// One program the box knows, as Explorer names it.
struct Entry {
    std::u16string name;
    std::u16string key;  // the same across starts: where it is listed, or its AppUserModelID
    Kind kind = Kind::kProgram;
};

// An entry made ready for the keys: everything a key compares, worked out once.
struct Prepared {
    std::u16string folded;                  // the name, case-free and accent-free
    std::u16string initials;                // of its words, folded
    std::vector<std::uint16_t> wordStarts;  // in `folded`, which is no longer than a line
    bool last = false;  // it removes, resets or documents a program: after every other entry
};

Prepared Prepare(const Entry& entry);

// The tiers of a match, best first; kNone: no match.
enum class Tier { kWhole, kStart, kInitials, kWords, kContains, kNone };
Tier TierOf(std::u16string_view foldedTyped, const Prepared& entry);

// The entries of `among` (every entry when it is null) that `foldedTyped` matches, in order, each
// with its tier.
struct Matches {
    std::vector<int> entries;
    std::vector<Tier> tiers;
};
Matches MatchesOf(std::u16string_view foldedTyped, const std::vector<Prepared>& prepared,
                  const std::vector<int>* among = nullptr);
// The best of `matches` by tier, the ones ranked last after the others, then by `score`, the
// shorter name and the name in order; -1 when there are none.
int BestOf(const std::vector<Prepared>& prepared, const Matches& matches,
           const std::function<std::uint64_t(int entry)>& score);
// Whether an entry picked from `pickedText` (folded) comes first for `foldedTyped`: the text
// itself, or a longer start of the entry's name.
bool PickStands(std::u16string_view foldedTyped, std::u16string_view pickedText,
                const Prepared& entry);

// That the user ran an entry from a typed text: the text (folded) and the entry's key.
struct Learnt {
    std::u16string text;
    std::u16string key;
};

// The entry to suggest for `typed`, or -1. An entry learnt for the typed text (or for a shorter
// text, where the typed text starts its name) comes first, the newest learnt first; else the best
// tier's entries, the ones ranked last after the others, then by `score` (the history's
// frecency), the shorter name, and the name in order.
int Best(std::u16string_view typed, const std::vector<Entry>& entries,
         const std::vector<Prepared>& prepared, const std::vector<Learnt>& learntNewestFirst,
         const std::function<std::uint64_t(int entry)>& score);

}  // namespace torvex::programs
