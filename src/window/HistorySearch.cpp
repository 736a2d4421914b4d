// Ctrl+R: a reverse incremental search of the history. What is typed is looked for anywhere in a
// line, case ignored, from the newest line to the oldest; Ctrl+R again goes on to the next older
// match. Enter runs the line shown, Escape gives back what the field held, Left, Right, Home and
// End keep the line shown for editing; Backspace shortens what is looked for.
#include <cwchar>
#include <string>

#include "text/Utf.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace {

constexpr WPARAM kEnter = 13;
constexpr WPARAM kBackspace = 8;
constexpr WPARAM kFirstPrintable = 0x20;
constexpr WPARAM kDeleteCharacter = 0x7F;

std::u16string FieldText(HWND field) {
    std::wstring text(GetWindowTextLengthW(field) + 1, L'\0');
    text.resize(GetWindowTextW(field, &text[0], static_cast<int>(text.size())));
    return torvex::ToU16(text);
}

std::wstring Folded(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The keys that move in the line or change it other than by a character (Tab completes in it):
// they end the search and edit the line shown. Every other key goes on with it: whatever it types
// comes as a character, also from keys that have none of their own (an input method's
// VK_PROCESSKEY, Unicode input's VK_PACKET, the keypad's digits).
bool EditsTheLine(WPARAM key) {
    switch (key) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_DELETE:
        case VK_INSERT:
        case VK_TAB:
            return true;
    }
    return false;
}

}  // namespace

void TorvexPlugin::SearchOlder() {
    if (!search.active) {
        search.active = true;
        search.text.clear();
        search.slot = -1;
        search.before = FieldText(editWindow);
        ShowSearch();
        return;
    }
    if (search.text.empty()) return;
    const int from = search.slot + 1;
    search.slot = -1;
    std::wstring wanted = Folded(torvex::ToWide(search.text));
    for (int slot = from; slot < historyCount; ++slot) {
        if (Folded(history[slot]).find(wanted) != std::wstring::npos) {
            search.slot = slot;
            break;
        }
    }
    ShowSearch();
}

// As a recalled line, with the caret put at the end in one step: at every key of a search, each
// move of the selection is one more paint that the Edit class asks for.
void TorvexPlugin::ShowFound(const wchar_t* text, int slot) {
    ShowLine(text, slot);
    const WPARAM end = std::wcslen(text);
    SendMessageW(editWindow, EM_SETSEL, end, end);
}

// The field shows the match, or, when nothing matched, what is looked for.
void TorvexPlugin::ShowSearch() {
    if (search.slot >= 0) {
        ShowFound(history[search.slot], search.slot);
        historyCursor = search.slot + 1;  // Up and Down go on from the line found
    } else if (!search.text.empty()) {
        ShowFound(torvex::ToWide(search.text).c_str());
    }
    PlaceText();
    RepaintWhole(editWindow);
}

bool TorvexPlugin::SearchCharacter(WPARAM character) {
    if (character == kEnter) {
        if (search.slot < 0) return true;  // nothing matched: nothing is run
        EndSearch();
        return false;  // the line shown runs
    }
    if (character == kBackspace) {
        std::size_t length = search.text.size();
        if (length > 0) --length;
        if (length > 0 && torvex::utf::IsLowSurrogate(search.text[length])) --length;
        search.text.resize(length);
    } else if (character >= kFirstPrintable && character != kDeleteCharacter) {
        search.text += static_cast<char16_t>(character);
    } else {
        return true;  // other control characters (Ctrl+R's own among them) change nothing
    }
    // Looked for afresh from the newest line.
    search.slot = -1;
    if (search.text.empty()) {
        ShowFound(torvex::ToWide(search.before).c_str());
        PlaceText();
        RepaintWhole(editWindow);
        return true;
    }
    SearchOlder();  // from slot -1 + 1, the newest
    return true;
}

bool TorvexPlugin::SearchKey(WPARAM key) {
    switch (key) {
        case VK_ESCAPE:
            ShowRecalled(torvex::ToWide(search.before).c_str());
            EndSearch();
            return true;
        case VK_SHIFT:
        case VK_CONTROL:
        case VK_MENU:
        case VK_BACK:
            return true;  // Backspace works at its character
        case VK_RETURN:
            return false;
    }
    if (EditsTheLine(key)) EndSearch();
    return false;
}

void TorvexPlugin::EndSearch() {
    if (!search.active) return;
    search.active = false;
    PlaceText();
    RepaintWhole(editWindow);
}

std::wstring TorvexPlugin::SearchPrompt() const {
    if (!search.active) return L"";
    if (search.text.empty()) return L"search: ";
    if (search.slot < 0) return L"no match: ";
    return L"search \"" + torvex::ToWide(search.text) + L"\": ";
}
