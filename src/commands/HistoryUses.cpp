// The uses of the lines run, kept in a file of their own beside history.txt: what the ranking of
// suggestions goes by. The file is read again before each write, and this box's changes laid on
// what it holds, so that another box writing the same file loses nothing and gets back nothing
// it erased. A file that cannot be read is never written over.
#include <algorithm>
#include <string>
#include <vector>

#include "commands/HistoryLocation.h"
#include "commands/Texts.h"
#include "commands/WholeFile.h"
#include "plugin/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace {

using torvex::uses::UseCounts;

// The counts the file at `path` holds (none when there is no file); false when it is there but
// cannot be read now.
bool ReadCounts(const std::wstring& path, std::int64_t now, UseCounts& counts) {
    std::string bytes;
    switch (torvex::files::ReadStart(path, torvex::uses::kMostFileBytes, bytes)) {
        case torvex::files::Read::kRead:
            counts = UseCounts::FromBytes(bytes, now);
            return true;
        case torvex::files::Read::kMissing:
            counts = UseCounts();
            return true;
        case torvex::files::Read::kFailed:
            break;
    }
    return false;
}

}  // namespace

// Beside history.txt, wherever that is kept; false when the history is kept in memory only.
bool TorvexPlugin::UsesPath(std::wstring& path) {
    if (!BuildHistoryPath()) return false;
    path = workBuffer;
    path.resize(path.find_last_of(L'\\') + 1);
    path += torvex::kCountsFileName;
    return true;
}

// Whenever the history becomes usable; a file that cannot be read now is read before the next
// write instead.
void TorvexPlugin::LoadUses() {
    std::wstring path;
    UseCounts read;
    if (!UsesPath(path) || !ReadCounts(path, Now(), read)) return;
    uses.counts = uses.changes.AppliedTo(std::move(read));
    RankAgain();
}

bool TorvexPlugin::SaveUses() {
    std::wstring path;
    if (uses.changes.empty()) return true;
    UseCounts inFile;
    if (!UsesPath(path) || !ReadCounts(path, Now(), inFile)) return false;
    UseCounts merged = uses.changes.AppliedTo(std::move(inFile));
    if (!torvex::files::ReplaceWhole(path, merged.Bytes())) return false;
    uses.counts = std::move(merged);
    uses.changes.Done();
    RankAgain();
    return true;
}

// Nothing is counted with suggestions switched off: the file holds only what the ranking needs.
void TorvexPlugin::RecordUse(const wchar_t* line) {
    if (!suggest) return;
    const std::u16string text = torvex::ToU16(line);
    gonePrograms.Forget(text);  // asked again: it was there to be run
    uses.counts.Record(text, Now());
    uses.changes.Record(text, Now());
    RankAgain();
    SaveUses();  // a file that cannot be written now takes the use at the next write
}

void TorvexPlugin::ForgetUses(const wchar_t* line) {
    const std::u16string text = torvex::ToU16(line);
    uses.counts.Forget(text);
    uses.changes.Forget(text);
    RankAgain();
    SaveUses();
}

// Every place the file may be in, also with the history kept in memory only now: a file left
// from before would bring back what ".clear" forgot.
void TorvexPlugin::ClearUses() {
    uses.counts.Clear();
    uses.changes.Done();
    RankAgain();
    std::wstring path;
    std::vector<std::wstring> places;
    if (UsesPath(path)) places.push_back(path);
    for (const std::wstring& folder : torvex::HistoryFolders(GetPluginFolder())) {
        const std::wstring place = folder + torvex::kCountsFileName;
        auto same = [&](const std::wstring& other) {
            return _wcsicmp(other.c_str(), place.c_str()) == 0;
        };
        if (std::none_of(places.begin(), places.end(), same)) places.push_back(place);
    }
    for (const std::wstring& place : places) {
        if (!torvex::files::Erase(place)) {
            torvex::texts::TellAboutLine(place.c_str(), torvex::texts::kCountsNotForgotten);
        }
    }
}
