#include "programs/Catalog.h"

#include <utility>

#include "programs/Folding.h"

namespace torvex::programs {
namespace {

bool StartsWith(std::u16string_view text, std::u16string_view start) {
    return text.size() >= start.size() && text.compare(0, start.size(), start) == 0;
}

}  // namespace

std::shared_ptr<const Catalog> MakeCatalog(std::vector<Listed> list) {
    auto catalog = std::make_shared<Catalog>();
    // Reserved whole: the maps' views stay where the texts are.
    catalog->entries.reserve(list.size());
    catalog->starts.reserve(list.size());
    catalog->prepared.reserve(list.size());
    for (Listed& listed : list) {
        if (catalog->byKey.count(listed.entry.key) != 0) continue;
        catalog->prepared.push_back(Prepare(listed.entry));
        catalog->entries.push_back(std::move(listed.entry));
        catalog->starts.push_back(std::move(listed.start));
        catalog->byKey.emplace(catalog->entries.back().key,
                               static_cast<int>(catalog->entries.size() - 1));
    }
    for (std::size_t i = 0; i < catalog->entries.size(); ++i) {
        auto [found, added] =
            catalog->byName.emplace(catalog->prepared[i].folded, static_cast<int>(i));
        if (!added && catalog->prepared[found->second].last && !catalog->prepared[i].last)
            found->second = static_cast<int>(i);
    }
    return catalog;
}

Named NamedBy(const Catalog& catalog, std::u16string_view line) {
    const std::u16string folded = Folded(line);
    Named named;
    // Each end of a word, the longest first: the name may hold blanks itself.
    for (std::size_t end = folded.size(); end > 0; --end) {
        if (end < folded.size() && folded[end] != u' ') continue;
        if (folded[end - 1] == u' ') continue;
        auto found = catalog.byName.find(std::u16string_view(folded).substr(0, end));
        if (found == catalog.byName.end()) continue;
        named.entry = found->second;
        const std::size_t rest = line.find_first_not_of(u' ', end);
        if (rest != std::u16string_view::npos) named.rest = std::u16string(line.substr(rest));
        return named;
    }
    return named;
}

int Suggester::Suggest(std::u16string_view typed, const Catalog& catalog,
                       const std::vector<Pick>& picksNewestFirst,
                       const std::function<std::uint64_t(int entry)>& score) {
    if (catalog_ != &catalog) levels_.clear();
    catalog_ = &catalog;
    std::u16string folded = Folded(typed);
    // Blanks alone name nothing, and are no start to narrow from.
    if (folded.find_first_not_of(u' ') == std::u16string::npos) return -1;
    while (!levels_.empty() && !StartsWith(folded, levels_.back().folded)) levels_.pop_back();
    if (!levels_.empty() && levels_.back().folded == folded) return levels_.back().best;
    Level level;
    level.matches = MatchesOf(folded, catalog.prepared,
                              levels_.empty() ? nullptr : &levels_.back().matches.entries);
    level.folded = std::move(folded);
    for (const Pick& pick : picksNewestFirst) {
        if (PickStands(level.folded, pick.text, catalog.prepared[pick.entry])) {
            level.best = pick.entry;
            break;
        }
    }
    if (level.best < 0) level.best = BestOf(catalog.prepared, level.matches, score);
    levels_.push_back(std::move(level));
    return levels_.back().best;
}

}  // namespace torvex::programs
