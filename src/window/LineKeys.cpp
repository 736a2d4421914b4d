// Tab completes the word before the caret and goes on through the other matches; Escape
// empties the field; Ctrl+Backspace deletes the word before the caret. Positions are UTF-16
// units, as the box counts them.
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "paths/CommandWord.h"
#include "paths/Matches.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace torvex {

// The matches that Tab goes through, put in turn between what stands before the completed
// word and what follows the caret.
class TabCycle {
  public:
    std::u16string before, after;
    std::vector<std::u16string> matches;
    std::size_t shown = 0;
    std::u16string line;  // as the last Tab left it, with the caret after the word
    DWORD caret = 0;

    void Show(HWND field) {
        // A variable kept as typed may stand for blanks; the engine expands it before it
        // splits the line, so such a word is quoted as well.
        const std::u16string& match = matches[shown];
        bool blanks = match.find(u'%') != std::u16string::npos &&
                      ExpandedVariables(match).find_first_of(u" \t") != std::u16string::npos;
        std::u16string word = words::AsWord(match, blanks);
        std::u16string shownLine = before + word + after;
        // The field refuses a line longer than a line may be: Tab stops at the limit, as typing
        // does, and the next Tab goes on from here.
        if (!SetWindowTextW(field, ToWide(shownLine).c_str())) return;
        line = std::move(shownLine);
        caret = static_cast<DWORD>(before.size() + word.size());
        SendMessageW(field, EM_SETSEL, caret, caret);
    }
};

}  // namespace torvex

namespace {

std::u16string FieldText(HWND field) {
    std::wstring text(GetWindowTextLengthW(field) + 1, L'\0');
    text.resize(GetWindowTextW(field, &text[0], static_cast<int>(text.size())));
    return torvex::ToU16(text);
}

DWORD Caret(HWND field) {
    DWORD start = 0, end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return end;
}

}  // namespace

void TorvexPlugin::CompleteWord() {
    std::u16string line = FieldText(editWindow);
    DWORD caret = Caret(editWindow);
    // Tab again on what the last Tab showed goes on to the next match. A single match is
    // completed afresh instead: a folder is then listed inside.
    if (tabCycle != nullptr && tabCycle->matches.size() > 1 && tabCycle->line == line &&
        tabCycle->caret == caret) {
        tabCycle->shown = (tabCycle->shown + 1) % tabCycle->matches.size();
        tabCycle->Show(editWindow);
        return;
    }
    EndTabCycle();
    torvex::words::Word word = torvex::words::WordBefore(line, caret);
    std::vector<std::u16string> aliasNames;
    if (word.first && word.text.find_first_of(u"\\/%") == std::u16string::npos) {
        aliasNames = aliases.NamesStartingWith(word.text);
    }
    std::vector<std::u16string> matches = torvex::CompletionsOf(word.text, word.first, aliasNames);
    if (matches.empty()) return;  // nothing changes
    auto cycle = std::make_unique<torvex::TabCycle>();
    cycle->before = line.substr(0, word.start);
    cycle->after = line.substr(std::min<std::size_t>(caret, line.size()));
    cycle->matches = std::move(matches);
    tabCycle = cycle.release();
    tabCycle->Show(editWindow);
}

void TorvexPlugin::EndTabCycle() {
    delete tabCycle;
    tabCycle = nullptr;
}

void TorvexPlugin::ClearLine() {
    SetWindowTextW(editWindow, L"");
    recalledSlot = -1;
    programList.taken = -1;  // nothing taken is run
    historyCursor = 0;       // the next Up shows the newest line again
}

void TorvexPlugin::DeleteWordBeforeCaret() {
    DWORD start = 0, end = 0;
    SendMessageW(editWindow, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    if (start == end) {
        start = static_cast<DWORD>(torvex::words::DeleteStart(FieldText(editWindow), end));
        SendMessageW(editWindow, EM_SETSEL, start, end);
    }
    SendMessageW(editWindow, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
}
