// Shift+Delete on a line recalled from the history: it leaves the list and history.txt, and the
// field shows the next older line.
#include <windows.h>

#include <cwchar>
#include <string>

#include "history/HistoryFile.h"
#include "text/WholeFile.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace {

std::u16string ReadInCodePage(std::string_view bytes) {
    return torvex::FromCodePage(bytes);
}

// history.txt without `line`, put in its place in one move. A file that cannot be replaced keeps
// the line; the list has let it go, and that is all.
void RemoveFromFile(const std::wstring& path, const std::u16string& line) {
    std::string bytes;
    if (!torvex::files::ReadWhole(path, bytes)) return;
    torvex::files::ReplaceWhole(path, torvex::history::WithoutLine(bytes, line, ReadInCodePage));
}

}  // namespace

bool TorvexPlugin::RemoveRecalledLine() {
    if (recalledSlot < 0 || recalledSlot >= historyCount) return false;
    if (SendMessageW(editWindow, EM_GETMODIFY, 0, 0) != 0) return false;  // changed since
    wchar_t shown[kHistorySlotSize] = L"";
    GetWindowTextW(editWindow, shown, kHistorySlotSize);
    if (std::wcscmp(shown, history[recalledSlot]) != 0) return false;  // set from elsewhere

    const int next = DropFromList(shown, recalledSlot);
    if (BuildHistoryPath()) RemoveFromFile(workBuffer, torvex::ToU16(shown));
    ForgetUses(shown);
    if (next >= 0) {
        ShowRecalled(history[next], next);
        historyCursor = next + 1;
    } else {
        ShowRecalled(L"");
        historyCursor = 0;
    }
    return true;
}

// Every copy of `line` leaves the list, as it leaves the file: a copy left in the list would
// keep the line from being written when it is run again. Gives the slot that the next line
// older than `slot` now holds, or -1 when there is none.
int TorvexPlugin::DropFromList(const wchar_t* line, int slot) {
    int kept = 0, next = -1;
    for (int from = 0; from < historyCount; ++from) {
        if (std::wcscmp(history[from], line) == 0) continue;
        if (from > slot && next < 0) next = kept;
        if (kept != from) {
            std::wmemcpy(history[kept], history[from], std::wcslen(history[from]) + 1);
        }
        ++kept;
    }
    for (int emptied = kept; emptied < historyCount; ++emptied) history[emptied][0] = L'\0';
    historyCount = kept;
    RankAgain();
    return next;
}
