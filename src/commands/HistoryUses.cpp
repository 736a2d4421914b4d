// The uses of the held lines, kept in a file of their own beside history.txt: what the ranking of
// suggestions goes by.
#include <string>
#include <unordered_set>

#include "plugin/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace {

const wchar_t kUsesFileName[] = L"history.counts.txt";

}  // namespace

// Beside history.txt, wherever that is kept; false when the history is kept in memory only.
bool TorvexPlugin::UsesPath(std::wstring& path) {
    if (!BuildHistoryPath()) return false;
    path = workBuffer;
    path.resize(path.find_last_of(L'\\') + 1);
    path += kUsesFileName;
    return true;
}

void TorvexPlugin::LoadUses() {
    std::wstring path;
    if (!UsesPath(path)) return;
    useCounts = torvex::uses::UseCounts::Load(path, Now());
    KeepUsesOfHeldLines();
}

// One line per held line: the uses of a line that left the list go with it.
void TorvexPlugin::KeepUsesOfHeldLines() {
    std::unordered_set<std::u16string> held;
    for (int slot = 0; slot < historyCount; ++slot) held.insert(torvex::ToU16(history[slot]));
    useCounts.KeepOnly([&](const std::u16string& line) { return held.count(line) != 0; });
}

void TorvexPlugin::SaveUses() {
    std::wstring path;
    if (!UsesPath(path)) return;  // in memory only
    KeepUsesOfHeldLines();
    useCounts.Save(path);  // a file that cannot be written costs the ranking only
}

void TorvexPlugin::RecordUse(const wchar_t* line) {
    useCounts.Record(torvex::ToU16(line), Now());
    SaveUses();
}

void TorvexPlugin::ForgetUses(const wchar_t* line) {
    if (line == nullptr) {
        useCounts.Clear();
    } else {
        useCounts.Forget(torvex::ToU16(line));
    }
    SaveUses();
}
