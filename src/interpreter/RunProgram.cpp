// Enter on a program's name: a line that would not run as it is, whose first words name an entry
// of the list, starts that entry; the words after the name go to it as arguments.
#include <windows.h>

#include <string>

#include "paths/CommandWord.h"
#include "paths/RunsToday.h"
#include "plugin/Texts.h"
#include "plugin/TorvexPlugin.h"
#include "programs/StartEntry.h"
#include "text/CodePage.h"

namespace {

constexpr DWORD kReasonSize = 512;

std::wstring Reason(DWORD error) {
    wchar_t reason[kReasonSize] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   reason, kReasonSize, nullptr);
    return reason;
}

}  // namespace

bool TorvexPlugin::StartNamedProgram(const std::u16string& line, const wchar_t* typed,
                                     bool elevated, int taken) {
    if (!programs || programList.catalog == nullptr || line.empty()) return false;
    // Commands to the shell and to the box are never names.
    if (line[0] == u'@' || line[0] == u'.') return false;
    const std::shared_ptr<const torvex::programs::Catalog> catalog = programList.catalog;
    const torvex::programs::Named named = torvex::programs::NamedBy(*catalog, line);
    // The disk is asked only about a line that names an entry.
    if (named.entry < 0 || torvex::search::RunsAsItIs(torvex::words::WordAt(line, 0, true).text))
        return false;
    const std::u16string picked = PickedFrom(line, named.entry, taken);
    const std::u16string key = catalog->entries[named.entry].key;
    const DWORD error =
        torvex::programs::StartEntry(catalog->starts[named.entry], named.rest, elevated);
    if (error == ERROR_CANCELLED) return true;  // the user said no to elevation: it stays
    if (error != ERROR_SUCCESS) {
        torvex::texts::TellAboutLine(typed, (torvex::texts::kCannotStart + Reason(error)).c_str());
        return true;  // it stays in the field, and is not recorded
    }
    if (editWindow != nullptr) SetWindowTextW(editWindow, L"");
    AddToHistory(typed);
    RecordUse(typed);
    RecordPick(picked, key);
    return true;
}
