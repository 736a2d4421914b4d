// Ctrl+R: a reverse incremental search of the history. What is typed is looked for anywhere in a
// line, case ignored, from the newest line to the oldest; Ctrl+R again goes on to the next older
// match. Enter runs the line shown, Escape gives back what the field held, Left, Right, Home and
// End keep the line shown for editing; Backspace shortens what is looked for.
#include <string>

#include "commands/Utf.h"
#include "plugin/CodePage.h"
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

// Keys that type a character: the search takes them at their character.
bool TypesACharacter(WPARAM key) {
    return MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_CHAR) != 0;
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

// The field shows the match, or, when nothing matched, what is looked for.
void TorvexPlugin::ShowSearch() {
    if (search.slot >= 0) {
        ShowRecalled(history[search.slot], search.slot);
        historyCursor = search.slot + 1;  // Up and Down go on from the line found
    } else if (!search.text.empty()) {
        ShowRecalled(torvex::ToWide(search.text).c_str());
    }
    PlaceText();
    InvalidateRect(editWindow, nullptr, TRUE);
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
        ShowRecalled(torvex::ToWide(search.before).c_str());
        PlaceText();
        InvalidateRect(editWindow, nullptr, TRUE);
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
    if (TypesACharacter(key)) return false;
    EndSearch();  // any other key (Left, Right, Home, End...) edits the line shown
    return false;
}

void TorvexPlugin::EndSearch() {
    if (!search.active) return;
    search.active = false;
    PlaceText();
    InvalidateRect(editWindow, nullptr, TRUE);
}

std::wstring TorvexPlugin::SearchPrompt() const {
    if (!search.active) return L"";
    if (search.text.empty()) return L"search: ";
    if (search.slot < 0) return L"no match: ";
    return L"search \"" + torvex::ToWide(search.text) + L"\": ";
}
