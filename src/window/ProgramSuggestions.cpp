// Programs by name: with no held line to suggest, the best entry of the list for what is typed is
// drawn after it (the rest of its name, or " → " and its name), and taken with End or Right. The
// list comes whole from its own thread; a key only reads it.
#include <algorithm>
#include <string>

#include "history/HistoryLocation.h"
#include "history/Ranking.h"
#include "history/UseCounts.h"
#include "plugin/TorvexPlugin.h"
#include "programs/Folding.h"
#include "text/CodePage.h"

namespace {

constexpr wchar_t kArrow[] = L" \u2192 ";

}  // namespace

// Kept in %APPDATA%\Torvex beside the history's own fallback, whatever the history's place.
void TorvexPlugin::StartProgramList() {
    if (!programs || editWindow == nullptr || programList.keeper.Running()) return;
    std::wstring listFile;
    const std::vector<std::wstring> folders = torvex::HistoryFolders(L"");
    if (!folders.empty()) listFile = folders.back() + torvex::programs::kListFileName;
    programList.keeper.Start(editWindow, listFile);
}

// Switched off, the list is let go of and its thread ended; switched on, started again.
void TorvexPlugin::ProgramsSwitched() {
    if (programs) {
        StartProgramList();
        return;
    }
    programList.keeper.Stop();
    programList.catalog.reset();
    programList.suggester.Forget();
    programList.taken = -1;
}

void TorvexPlugin::TakeProgramList() {
    std::shared_ptr<const torvex::programs::Catalog> catalog = programList.keeper.Take();
    if (catalog == nullptr) return;
    programList.catalog = std::move(catalog);
    programList.taken = -1;
    programList.stale = true;
    if (editWindow != nullptr) InvalidateRect(editWindow, nullptr, FALSE);
}

// The picks learnt and the uses of each entry, from the use counts: newest pick first.
void TorvexPlugin::RankPrograms() {
    if (!programList.stale || programList.catalog == nullptr) return;
    const torvex::programs::Catalog& catalog = *programList.catalog;
    struct Found {
        torvex::programs::Pick pick;
        std::int64_t last;
    };
    std::vector<Found> found;
    std::unordered_map<int, torvex::uses::Use> used;
    for (const auto& [line, use] : uses.counts.all()) {
        std::u16string_view text, key;
        if (!torvex::uses::ReadPick(line, text, key)) continue;
        auto entry = catalog.byKey.find(key);
        if (entry == catalog.byKey.end()) continue;
        found.push_back({{std::u16string(text), entry->second}, use.last});
        torvex::uses::Use& sum = used[entry->second];
        sum.count += use.count;
        sum.last = std::max(sum.last, use.last);
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.last != b.last ? a.last > b.last : a.pick.text < b.pick.text;
    });
    programList.picks.clear();
    for (Found& pick : found) programList.picks.push_back(std::move(pick.pick));
    const std::int64_t now = Now();
    programList.scores.clear();
    for (const auto& [entry, use] : used)
        programList.scores[entry] = torvex::ranking::Score(use, now);
    programList.suggester.Forget();
    programList.stale = false;
}

void TorvexPlugin::SuggestProgram(Suggested& found) {
    if (!programs || programList.catalog == nullptr) return;
    RankPrograms();
    const torvex::programs::Catalog& catalog = *programList.catalog;
    const std::u16string typed = torvex::ToU16(found.typed);
    const int entry = programList.suggester.Suggest(typed, catalog, programList.picks, [&](int i) {
        auto score = programList.scores.find(i);
        return score == programList.scores.end() ? std::uint64_t{0} : score->second;
    });
    if (entry < 0) return;
    const std::u16string& name = catalog.entries[entry].name;
    const std::u16string& folded = catalog.prepared[entry].folded;
    const std::u16string foldedTyped = torvex::programs::Folded(typed);
    if (folded == foldedTyped) return;  // typed whole: Enter starts it as it stands
    found.program = entry;
    found.programName = torvex::ToWide(name);
    found.programStarts = folded.compare(0, foldedTyped.size(), foldedTyped) == 0;
}

std::wstring TorvexPlugin::ShownProgram(const Suggested& found) const {
    if (found.programStarts) return found.programName.substr(found.typed.size());
    return kArrow + found.programName;
}

// The text it was picked from, when it was taken with End or Right; else the name as typed.
std::u16string TorvexPlugin::PickedFrom(const std::u16string& line, int entry, int taken) {
    if (taken == entry && !programList.takenFrom.empty()) return programList.takenFrom;
    return torvex::programs::Folded(line).substr(
        0, programList.catalog->prepared[entry].folded.size());
}

void TorvexPlugin::RecordPick(const std::u16string& text, const std::u16string& key) {
    if (!suggest) return;
    const std::u16string pick = torvex::uses::PickOf(text, key);
    uses.counts.Record(pick, Now());
    uses.changes.Record(pick, Now());
    RankAgain();
    SaveUsesSoon();
}
