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
    for (Listed& listed : list) {
        if (!catalog->byKey.emplace(listed.entry.key, catalog->entries.size()).second) continue;
        catalog->prepared.push_back(Prepare(listed.entry));
        catalog->entries.push_back(std::move(listed.entry));
        catalog->starts.push_back(std::move(listed.start));
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
        auto found = catalog.byName.find(folded.substr(0, end));
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
    const std::u16string folded = Folded(typed);
    if (catalog_ == &catalog && folded == folded_) return best_;
    if (folded.empty()) return -1;
    const bool grew = catalog_ == &catalog && !folded_.empty() && StartsWith(folded, folded_);
    matched_ = MatchesOf(folded, catalog.prepared, grew ? &matched_ : nullptr);
    catalog_ = &catalog;
    folded_ = folded;
    best_ = -1;
    for (const Pick& pick : picksNewestFirst) {
        if (PickStands(folded, pick.text, catalog.prepared[pick.entry])) {
            best_ = pick.entry;
            return best_;
        }
    }
    best_ = BestOf(folded, catalog.prepared, matched_, score);
    return best_;
}

}  // namespace torvex::programs
