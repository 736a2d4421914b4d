// The history list in the instance, and Up, Down and Shift in the box.
#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "history/HistoryFile.h"
#include "history/HistoryLocation.h"
#include "plugin/BoundedText.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace {

// A line written before the file was UTF-8 (or by another tool) is in the code page.
std::u16string ReadInCodePage(std::string_view bytes) {
    return torvex::FromCodePage(bytes);
}

}  // namespace

// False when the history is kept in memory only (switched so in torvex.rc), and when there is no
// place for history.txt: "history.txt" alone would name a file in whatever folder the shell
// happens to be in. The place is chosen at the first use, at start unless the file is switched
// off then, and kept.
bool TorvexPlugin::BuildHistoryPath() {
    if (!historyFile) return false;
    if (!historyPlace.chosen) {
        historyPlace.path = torvex::ChooseHistoryFile(GetPluginFolder(), kWorkBufferSize - 1,
                                                      torvex::ProcessIsVirtualized());
        historyPlace.chosen = true;
    }
    return !historyPlace.path.empty() && torvex::CopyText(workBuffer, historyPlace.path.c_str());
}

void TorvexPlugin::LoadHistory() {
    historyCount = 0;
    std::vector<std::u16string> lines;
    if (!BuildHistoryPath()) return;
    // The counts are read even when history.txt cannot be now (another program holds it).
    if (torvex::history::LoadNewestLines(workBuffer, kHistorySlots, ReadInCodePage, lines)) {
        FillHistory(lines);
    }
    LoadUses();
}

void TorvexPlugin::FillHistory(const std::vector<std::u16string>& lines) {
    // Whatever the reader hands over, only the newest lines that have a slot are taken.
    const int count = static_cast<int>(std::min<std::size_t>(lines.size(), kHistorySlots));
    const std::size_t first = lines.size() - count;
    for (int slot = 0; slot < count; ++slot) {
        torvex::CopyText(history[slot], torvex::ToWide(lines[first + count - 1 - slot]).c_str());
    }
    historyCount = count;
    RankAgain();
}

void TorvexPlugin::ForgetHistory() {
    // Nothing cleared can be recalled: not through the count, the slots or the browse position.
    std::fill(&history[0][0], &history[0][0] + kHistorySlots * kHistorySlotSize, L'\0');
    historyCount = 0;
    historyCursor = 0;
    RankAgain();
}

void TorvexPlugin::ShiftHistoryDown() {
    int top = historyCount < kHistorySlots ? historyCount : kHistorySlots - 1;
    for (int slot = top; slot > 0; --slot) {
        std::wmemcpy(history[slot], history[slot - 1], std::wcslen(history[slot - 1]) + 1);
    }
}

void TorvexPlugin::AddToHistory(const wchar_t* line) {
    bool held = false;
    for (int slot = historyCount - 1; slot >= 0; --slot) {
        if (std::wcscmp(history[slot], line) == 0) held = true;
    }
    bool havePath = BuildHistoryPath();
    if (held) return;

    ShiftHistoryDown();
    torvex::CopyText(history[0], line);
    if (historyCount < kHistorySlots) ++historyCount;
    RankAgain();

    // A file that cannot be written leaves the line in memory only.
    if (havePath) torvex::history::AppendLine(workBuffer, torvex::ToU16(history[0]));
}

void TorvexPlugin::ShowLine(const wchar_t* text, int slot) {
    SetWindowTextW(editWindow, text);
    // For Shift+Delete, while the field shows it unchanged: the Edit marks any change.
    SendMessageW(editWindow, EM_SETMODIFY, FALSE, 0);
    recalledSlot = slot;
}

void TorvexPlugin::ShowRecalled(const wchar_t* text, int slot) {
    ShowLine(text, slot);
    // Select all, then drop the selection: the caret ends after the last character.
    SendMessageW(editWindow, EM_SETSEL, 0, -1);
    SendMessageW(editWindow, EM_SETSEL, static_cast<WPARAM>(-1), 0);
}

void TorvexPlugin::RecallOlder() {
    if (historyCount == 0) return;  // nothing to show; the field keeps what was typed
    int slot;
    if (historyCursor < historyCount) {
        slot = historyCursor;
        ++historyCursor;
    } else {
        historyCursor = historyCount;
        slot = historyCount - 1;
    }
    ShowRecalled(history[slot], slot);
}

void TorvexPlugin::RecallNewer() {
    int slot = -1;  // none: the empty field
    if (historyCursor > 0) {
        if (historyCursor > 1) slot = historyCursor - 2;
        --historyCursor;
    }
    ShowRecalled(slot >= 0 ? history[slot] : L"", slot);
}

void TorvexPlugin::CompleteFromHistory() {
    // The whole line typed: a first part of it could be held in a line that lacks the rest, and
    // a cut could fall between the halves of a character.
    wchar_t typed[kHistorySlotSize] = L"";
    GetWindowTextW(editWindow, typed, kHistorySlotSize);
    if (typed[0] == L'\0') return;
    for (int slot = historyCount - 1; slot >= 0; --slot) {
        if (std::wcsstr(history[slot], typed) != nullptr) {
            ShowRecalled(history[slot], slot);  // the caret at the end, to go on typing
            historyCursor = slot + 1;           // Up and Down go on from the completed line
            return;
        }
    }
}
