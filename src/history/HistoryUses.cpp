// The uses of the lines run, kept in a file of their own beside history.txt: what the ranking of
// suggestions goes by. The file is read again before each write, and this box's changes laid on
// what it holds, so that another box writing the same file loses nothing and gets back nothing
// it erased. A file that cannot be read is never written over.
#include <algorithm>
#include <string>
#include <vector>

#include "history/HistoryLocation.h"
#include "plugin/Texts.h"
#include "history/UsesFile.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace {

using torvex::uses::UseCounts;
using torvex::uses::UsesFile;

// A change is written this long after the last one: a burst of lines costs one write.
constexpr UINT kSaveDelayMilliseconds = 3000;

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
// write instead. On the shell's thread, as history.txt is read: once, at start.
void TorvexPlugin::LoadUses() {
    std::wstring path;
    UseCounts read;
    if (!UsesPath(path) || !UsesFile::Read(path, Now(), read)) return;
    uses.counts = uses.changes.AppliedTo(std::move(read));
    RankAgain();
}

// A few seconds after the last change, and at stop.
void TorvexPlugin::SaveUsesSoon() {
    if (editWindow == nullptr ||
        SetTimer(editWindow, kSaveUsesTimer, kSaveDelayMilliseconds, nullptr) == 0) {
        SaveUses();
    }
}

void TorvexPlugin::SaveUses() {
    if (editWindow != nullptr) KillTimer(editWindow, kSaveUsesTimer);
    std::wstring path;
    if (uses.changes.empty() || !UsesPath(path)) return;  // in memory only: kept for later
    uses.file.Save(worker, editWindow, path, std::move(uses.changes), Now());
    uses.changes.Done();
}

// Written: the counts are the file's, with the changes since. Not written: kept for the next.
void TorvexPlugin::TakeSavedUses() {
    for (UsesFile::Answer& answer : uses.file.TakeAnswers()) {
        if (answer.written) {
            uses.counts = uses.changes.AppliedTo(std::move(answer.counts));
        } else {
            uses.changes.Before(answer.unwritten);
        }
        RankAgain();
    }
    for (const std::wstring& path : uses.file.TakeNotErased()) {
        torvex::texts::TellAboutLine(path.c_str(), torvex::texts::kCountsNotForgotten);
    }
}

// Nothing is counted with suggestions switched off: the file holds only what the ranking needs.
void TorvexPlugin::RecordUse(const wchar_t* line) {
    if (!suggest) return;
    const std::u16string text = torvex::ToU16(line);
    gonePrograms.Forget(text);  // asked again: it was there to be run
    uses.counts.Record(text, Now());
    uses.changes.Record(text, Now());
    RankAgain();
    SaveUsesSoon();
}

void TorvexPlugin::ForgetUses(const wchar_t* line) {
    const std::u16string text = torvex::ToU16(line);
    uses.counts.Forget(text);
    uses.changes.Forget(text);
    RankAgain();
    SaveUsesSoon();
}

// Every place the file may be in, also with the history kept in memory only now: a file left
// from before would bring back what ".clear" forgot. A write still under way is forgotten too:
// the erasure comes after it.
void TorvexPlugin::ClearUses() {
    if (editWindow != nullptr) KillTimer(editWindow, kSaveUsesTimer);
    uses.counts.Clear();
    uses.changes.Done();
    uses.file.Forget();
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
    uses.file.Erase(worker, editWindow, std::move(places));
}
