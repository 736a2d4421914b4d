#pragma once
// The order in which held lines are suggested: by how often and how lately each was run. Plain
// portable C++, so that it can be built natively too.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "history/UseCounts.h"

namespace torvex::ranking {

// zoxide's frecency: the count of uses weighed by the age of the last one, times 4 within an
// hour, 2 within a day, 1/2 within a week and 1/4 after that; worked out in quarters, exactly.
// A line never used scores 0.
std::uint64_t Score(const uses::Use& use, std::int64_t now);

// The slot of the held line to suggest for `typed` (the held lines newest first), or -1. The
// line starts with the whole typed text and is longer: compared exactly, or, when no line is such,
// ignoring case as `sameIgnoringCase` says. Of several, the one that scores highest; of equal
// scores, the newer. A line that `passedOver` refuses is not suggested; it is asked of the best
// lines only, one at a time, until one is taken, and of no line twice.
template <typename Char>
int BestSlot(std::basic_string_view<Char> typed,
             const std::vector<std::basic_string_view<Char>>& held,
             const std::function<bool(Char, Char)>& sameIgnoringCase,
             const std::function<std::uint64_t(int slot)>& score,
             const std::function<bool(int slot)>& passedOver) {
    if (typed.empty()) return -1;
    auto startsWith = [&](std::basic_string_view<Char> line, bool exactly) {
        if (line.size() <= typed.size()) return false;
        for (std::size_t i = 0; i < typed.size(); ++i) {
            if (line[i] != typed[i] && (exactly || !sameIgnoringCase(line[i], typed[i]))) {
                return false;
            }
        }
        return true;
    };
    for (bool exactly : {true, false}) {
        struct Candidate {
            std::uint64_t score;
            int slot;
        };
        std::vector<Candidate> candidates;
        for (std::size_t slot = 0; slot < held.size(); ++slot) {
            if (!startsWith(held[slot], exactly)) continue;
            if (!exactly && startsWith(held[slot], true)) continue;  // refused already
            candidates.push_back({score(static_cast<int>(slot)), static_cast<int>(slot)});
        }
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
        for (const Candidate& candidate : candidates) {
            if (!passedOver(candidate.slot)) return candidate.slot;
        }
    }
    return -1;
}

// What Ctrl+Right takes of the rest of a suggestion: the blanks at its start and the word after
// them; the length of that.
template <typename Char>
std::size_t NextWordLength(std::basic_string_view<Char> rest) {
    std::size_t end = 0;
    while (end < rest.size() && (rest[end] == Char(' ') || rest[end] == Char('\t'))) ++end;
    while (end < rest.size() && rest[end] != Char(' ') && rest[end] != Char('\t')) ++end;
    return end;
}

}  // namespace torvex::ranking
