// Suggestions as you type: the rest of the best held line, drawn after the typed text in the
// prompt's shade, and taken with Right or End (Ctrl+Right: its next word). It is drawn, never
// typed: the window text holds only what was typed until a suggestion is taken.
#include <array>
#include <ctime>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "appearance/GdiGuards.h"
#include "commands/CommandWord.h"
#include "commands/Ranking.h"
#include "plugin/CodePage.h"
#include "plugin/TorvexPlugin.h"
#include "window/Keyboard.h"

namespace {

bool SameIgnoringCase(wchar_t a, wchar_t b) {
    auto lower = [](wchar_t c) {
        return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(
            CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
    };
    return lower(a) == lower(b);
}

// "C:\..." names a drive; its root, or the empty text.
std::wstring DriveRoot(const std::u16string& path) {
    bool drive = path.size() >= 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/') &&
                 ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
    return drive ? std::wstring{static_cast<wchar_t>(path[0]), L':', L'\\'} : L"";
}

bool Exists(const std::u16string& path) {
    return GetFileAttributesW(torvex::ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

std::int64_t TorvexPlugin::Now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

// A line whose program is a path on a local fixed drive that no longer exists is not suggested,
// as fish does. Network and removable drives are never asked: a missing server must not stall a
// key. An unquoted program may hold blanks, as the engine takes it: the line is gone only when no
// part of it that ends before a blank names anything.
bool TorvexPlugin::ProgramIsGone(const wchar_t* line) {
    const std::u16string text = torvex::ToU16(line);
    torvex::words::Parsed program = torvex::words::WordAt(text, 0, true);
    std::wstring root = DriveRoot(program.text);
    if (root.empty()) return false;
    unsigned char& type = driveTypes[(root[0] | 0x20) - L'a'];
    if (type == 0) type = static_cast<unsigned char>(GetDriveTypeW(root.c_str()) + 1);
    if (type != DRIVE_FIXED + 1 || Exists(program.text)) return false;
    if (text[program.start] == u'"') return true;
    for (std::size_t end = text.size(); end > program.end;) {
        if (Exists(text.substr(program.start, end - program.start))) return false;
        end = text.find_last_of(u" \t", end - 1);
        if (end == std::u16string::npos) break;
    }
    return true;
}

// What is typed, when something may be drawn after it: the box has the focus, the caret stands
// at the end of a line that is not empty and nothing is selected; no search, no composition.
bool TorvexPlugin::TypedAtTheEnd(std::wstring& typed) {
    if (search.active || composing || !focused || editWindow == nullptr) return false;
    const int length = GetWindowTextLengthW(editWindow);
    if (length <= 0 || length > kMaxLineLength) return false;
    DWORD start = 0, end = 0;
    SendMessageW(editWindow, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    if (start != end || end != static_cast<DWORD>(length)) return false;
    typed.resize(length + 1);
    typed.resize(GetWindowTextW(editWindow, &typed[0], length + 1));
    return true;
}

// None for a calculation: its result is drawn instead.
TorvexPlugin::Suggested TorvexPlugin::CurrentSuggestion() {
    std::wstring typed;
    if (!suggest || !TypedAtTheEnd(typed) ||
        CalculationOf(typed).kind != torvex::calc::Kind::kNone) {
        return Suggested();
    }
    return SuggestionFor(std::move(typed));
}

// The best held line for what is typed at the end.
TorvexPlugin::Suggested TorvexPlugin::SuggestionFor(std::wstring typed) {
    Suggested found;
    found.typed = std::move(typed);
    std::vector<std::wstring_view> held;
    held.reserve(historyCount);
    for (int slot = 0; slot < historyCount; ++slot) held.emplace_back(history[slot]);
    const std::int64_t now = Now();
    std::u16string line;  // one buffer for every line looked up: a key allocates nothing per line
    found.slot = torvex::ranking::BestSlot<wchar_t>(
        found.typed, held, SameIgnoringCase,
        [&](int slot) -> std::uint64_t {
            if (useCounts.all().empty()) return 0;
            line.assign(held[slot].begin(), held[slot].end());
            return torvex::ranking::Score(useCounts.Of(line), now);
        },
        [&](int slot) { return ProgramIsGone(history[slot]); });
    return found;
}

bool TorvexPlugin::TakeSuggestion(WPARAM key) {
    if (key != VK_RIGHT && key != VK_END) return false;
    const Suggested found = CurrentSuggestion();
    if (found.slot < 0 || torvex::IsHeld(VK_SHIFT) || torvex::IsHeld(VK_MENU)) return false;
    const bool word = torvex::IsHeld(VK_CONTROL);
    if (word && key != VK_RIGHT) return false;  // Ctrl+End goes to the end, as ever
    const std::wstring_view line = history[found.slot];
    std::size_t taken = line.size();
    if (word) {
        taken =
            found.typed.size() + torvex::ranking::NextWordLength(line.substr(found.typed.size()));
    }
    // The held line's own case, also for what was typed in another.
    ShowFound(std::wstring(line.substr(0, taken)).c_str(), taken == line.size() ? found.slot : -1);
    return true;
}

// The rest of the suggestion from the caret on, or a calculation's result after a blank, cut at
// the box's edge.
void TorvexPlugin::DrawSuggestion(HDC dc) {
    std::wstring typed, shown;
    if (!TypedAtTheEnd(typed)) return;
    const torvex::calc::Result& result = CalculationOf(typed);
    if (result.kind != torvex::calc::Kind::kNone) {
        shown = L" " + torvex::ToWide(result.Shown());
    } else {
        if (!suggest) return;
        const Suggested found = SuggestionFor(typed);
        if (found.slot < 0) return;
        shown = std::wstring(history[found.slot]).substr(found.typed.size());
    }
    const std::wstring_view rest = shown;
    POINT caret = {};
    if (!GetCaretPos(&caret)) return;
    RECT format = {};
    SendMessageW(editWindow, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    RECT area = {caret.x, format.top, format.right, format.bottom};
    torvex::Selection selected(dc, font);
    SetTextColor(dc, PromptColor());
    SetBkMode(dc, TRANSPARENT);
    // Laid out as the Edit lays out its line: no prefix, no breaks, cut at the edge.
    ExtTextOutW(dc, area.left, area.top, ETO_CLIPPED, &area, rest.data(),
                static_cast<UINT>(rest.size()), nullptr);
}
