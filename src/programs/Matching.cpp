#include "programs/Matching.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

#include "programs/Folding.h"

namespace torvex::programs {
namespace {

// What separates words: blanks and punctuation.
bool Separates(char16_t c) {
    if (c < 0x80) {
        return !((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'));
    }
    return (c >= 0x2000 && c <= 0x206F) || c == 0x00A0 || c == 0x3000 || c == 0x00B7;
}

bool IsCapital(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) ||
           (c >= 0x0391 && c <= 0x03A9) || (c >= 0x0400 && c <= 0x042F);
}

// Words that say an entry removes, resets or documents a program.
const char16_t* const kLastWords[] = {u"uninstall", u"uninstaller", u"remove",  u"reset",
                                      u"readme",    u"help",        u"website", u"documentation",
                                      u"manual",    u"license"};

bool StartsWith(std::u16string_view text, std::u16string_view start) {
    return text.size() >= start.size() && text.compare(0, start.size(), start) == 0;
}

bool WordsStart(std::u16string_view typed, const Prepared& entry) {
    const std::u16string_view name = entry.folded;
    std::size_t word = 0, at = 0;
    while (at < typed.size()) {
        while (at < typed.size() && typed[at] == u' ') ++at;
        std::size_t end = typed.find(u' ', at);
        if (end == std::u16string_view::npos) end = typed.size();
        if (at == end) break;
        const std::u16string_view part = typed.substr(at, end - at);
        while (word < entry.wordStarts.size() &&
               !StartsWith(name.substr(entry.wordStarts[word]), part)) {
            ++word;
        }
        if (word == entry.wordStarts.size()) return false;
        ++word;
        at = end;
    }
    return true;
}

}  // namespace

Prepared Prepare(const Entry& entry) {
    Prepared prepared;
    prepared.folded = Folded(entry.name);
    const std::u16string& name = entry.name;
    // Words start only where an offset can say so; a list's names are far shorter.
    const std::size_t seen = std::min<std::size_t>(name.size(), UINT16_MAX);
    for (std::size_t i = 0; i < seen; ++i) {
        if (Separates(name[i])) continue;
        const bool start =
            i == 0 || Separates(name[i - 1]) || (IsCapital(name[i]) && !IsCapital(name[i - 1]));
        if (!start) continue;
        prepared.wordStarts.push_back(static_cast<std::uint16_t>(i));
        prepared.initials += prepared.folded[i];
    }
    for (std::size_t w = 0; w < prepared.wordStarts.size(); ++w) {
        const std::size_t from = prepared.wordStarts[w];
        std::size_t to = from;
        while (to < name.size() && !Separates(name[to]) &&
               (to == from || !IsCapital(name[to]) || IsCapital(name[to - 1])))
            ++to;
        const std::u16string_view word(prepared.folded.data() + from, to - from);
        for (const char16_t* last : kLastWords) prepared.last = prepared.last || word == last;
    }
    prepared.last = prepared.last || entry.kind == Kind::kDocument;
    return prepared;
}

Tier TierOf(std::u16string_view typed, const Prepared& entry) {
    if (typed.empty()) return Tier::kNone;
    const std::u16string_view name = entry.folded;
    if (name == typed) return Tier::kWhole;
    if (StartsWith(name, typed)) return Tier::kStart;
    if (typed.size() >= 2 && StartsWith(entry.initials, typed)) return Tier::kInitials;
    // Each typed word starts a word of the name, in order; only a text of more than one word.
    if (typed.find(u' ') != std::u16string_view::npos && WordsStart(typed, entry)) {
        return Tier::kWords;
    }
    if (name.find(typed) != std::u16string_view::npos) return Tier::kContains;
    return Tier::kNone;
}

Matches MatchesOf(std::u16string_view typed, const std::vector<Prepared>& prepared,
                  const std::vector<int>* among) {
    Matches matches;
    auto consider = [&](int i) {
        const Tier tier = TierOf(typed, prepared[i]);
        if (tier == Tier::kNone) return;
        matches.entries.push_back(i);
        matches.tiers.push_back(tier);
    };
    if (among != nullptr) {
        for (int i : *among) consider(i);
    } else {
        for (std::size_t i = 0; i < prepared.size(); ++i) consider(static_cast<int>(i));
    }
    return matches;
}

int BestOf(const std::vector<Prepared>& prepared, const Matches& matches,
           const std::function<std::uint64_t(int entry)>& score) {
    // The best tier, and whether only entries ranked last hold it, first: only those are scored.
    std::pair<Tier, bool> top(Tier::kNone, true);
    for (std::size_t m = 0; m < matches.entries.size(); ++m)
        top = std::min(top, std::make_pair(matches.tiers[m], prepared[matches.entries[m]].last));
    int best = -1;
    std::tuple<std::uint64_t, std::size_t> bestRank;
    for (std::size_t m = 0; m < matches.entries.size(); ++m) {
        const int i = matches.entries[m];
        if (std::make_pair(matches.tiers[m], prepared[i].last) != top) continue;
        // Better is smaller: the higher score, the shorter name, then the name in order.
        const auto rank = std::make_tuple(~score(i), prepared[i].folded.size());
        if (best < 0 || rank < bestRank ||
            (rank == bestRank && prepared[i].folded < prepared[best].folded)) {
            best = i;
            bestRank = rank;
        }
    }
    return best;
}

bool PickStands(std::u16string_view typed, std::u16string_view picked, const Prepared& entry) {
    return !typed.empty() &&
           (typed == picked || (typed.size() > picked.size() && StartsWith(entry.folded, typed)));
}

int Best(std::u16string_view typed, const std::vector<Entry>& entries,
         const std::vector<Prepared>& prepared, const std::vector<Learnt>& learntNewestFirst,
         const std::function<std::uint64_t(int entry)>& score) {
    const std::u16string folded = Folded(typed);
    if (folded.find_first_not_of(u' ') == std::u16string::npos) return -1;  // blanks name nothing
    // Learnt after one pick: the text itself, and every longer start of the entry's name.
    for (const Learnt& learnt : learntNewestFirst) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].key == learnt.key && PickStands(folded, learnt.text, prepared[i]))
                return static_cast<int>(i);
        }
    }
    return BestOf(prepared, MatchesOf(folded, prepared), score);
}

}  // namespace torvex::programs
