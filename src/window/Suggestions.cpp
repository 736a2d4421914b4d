// Suggestions as you type: the rest of the best held line, drawn after the typed text in the
// prompt's shade, and taken with Right or End (Ctrl+Right: its next word). It is drawn, never
// typed: the window text holds only what was typed until a suggestion is taken.
#include <algorithm>
#include <ctime>
#include <cwchar>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "appearance/GdiGuards.h"
#include "paths/CommandWord.h"
#include "history/Ranking.h"
#include "history/UseCounts.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"
#include "programs/Folding.h"
#include "window/Keyboard.h"

namespace {

bool SameIgnoringCase(wchar_t a, wchar_t b) {
    auto lower = [](wchar_t c) {
        return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(
            CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
    };
    return lower(a) == lower(b);
}

}  // namespace

std::int64_t TorvexPlugin::Now() {
    return static_cast<std::int64_t>(std::time(nullptr));
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

// Each held slot's uses, and the lines counted that the list no longer holds (newest use first,
// then in the order of their text, so that the same counts always suggest the same line).
void TorvexPlugin::MakeRanking() {
    if (!ranked.stale) return;
    std::vector<std::u16string> lines;
    ranked.held.clear();
    ranked.heldLengths.clear();
    for (int slot = 0; slot < historyCount; ++slot) {
        ranked.heldLengths.push_back(std::wcslen(history[slot]));
        lines.push_back(torvex::ToU16(history[slot]));
        ranked.held.push_back(uses.counts.Of(lines.back()));
    }
    const std::unordered_set<std::u16string> held(lines.begin(), lines.end());
    std::vector<std::pair<const std::u16string*, torvex::uses::Use>> counted;
    for (const auto& [line, use] : uses.counts.all()) {
        if (held.count(line) == 0 && line.size() <= kMaxLineLength && !torvex::uses::IsPick(line))
            counted.emplace_back(&line, use);
    }
    std::sort(counted.begin(), counted.end(), [](const auto& a, const auto& b) {
        return a.second.last != b.second.last ? a.second.last > b.second.last : *a.first < *b.first;
    });
    ranked.counted.clear();
    ranked.countedUses.clear();
    for (const auto& [line, use] : counted) {
        lines.push_back(*line);
        ranked.counted.push_back(torvex::ToWide(*line));
        ranked.countedUses.push_back(use);
    }
    gonePrograms.KeepOnly(lines);
    ranked.gone.clear();
    for (const std::u16string& line : lines) ranked.gone.push_back(gonePrograms.IsGone(line));
    gonePrograms.Ask(worker, editWindow);
    ranked.stale = false;
}

// Answers from the worker: a line learnt to be gone is no longer suggested.
void TorvexPlugin::TakeLearntPrograms() {
    if (!gonePrograms.TakeAnswers()) return;
    RankAgain();
    if (editWindow != nullptr) InvalidateRect(editWindow, nullptr, FALSE);
}

// The best line for what is typed at the end: a held one, or one counted that left the list,
// which a held line of the same score comes before.
TorvexPlugin::Suggested TorvexPlugin::SuggestionFor(std::wstring typed) {
    MakeRanking();
    Suggested found;
    found.typed = std::move(typed);
    std::vector<std::wstring_view> lines;  // one allocation a key, none per line
    lines.reserve(historyCount + ranked.counted.size());
    for (int slot = 0; slot < historyCount; ++slot) {
        lines.emplace_back(history[slot], ranked.heldLengths[slot]);  // no line measured per key
    }
    for (const std::wstring& line : ranked.counted) lines.emplace_back(line);
    const std::int64_t now = Now();
    const int best = torvex::ranking::BestSlot<wchar_t>(
        found.typed, lines, SameIgnoringCase,
        [&](int index) -> std::uint64_t {
            return torvex::ranking::Score(index < historyCount
                                              ? ranked.held[index]
                                              : ranked.countedUses[index - historyCount],
                                          now);
        },
        [&](int index) { return static_cast<bool>(ranked.gone[index]); });
    if (best >= 0) found.line = lines[best];
    found.slot = best < historyCount ? best : -1;
    if (best < 0) SuggestProgram(found);
    return found;
}

// The field holds the line taken, as one change that Ctrl+Z takes back: what was typed returns.
void TorvexPlugin::ReplaceTyped(const std::wstring& text, int slot) {
    SendMessageW(editWindow, EM_SETSEL, 0, -1);
    SendMessageW(editWindow, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(editWindow, EM_SETMODIFY, FALSE, 0);  // for Shift+Delete, as a recalled line
    recalledSlot = slot;
}

bool TorvexPlugin::TakeSuggestion(WPARAM key) {
    if (key != VK_RIGHT && key != VK_END) return false;
    // Shift selects and Alt is the shell's: neither searches.
    if (torvex::IsHeld(VK_SHIFT) || torvex::IsHeld(VK_MENU)) return false;
    const bool word = torvex::IsHeld(VK_CONTROL);
    if (word && key != VK_RIGHT) return false;  // Ctrl+End goes to the end, as ever
    const Suggested found = CurrentSuggestion();
    if (found.program >= 0) {
        // Its name in its own case; Ctrl+Right takes its next word where it starts so.
        std::size_t taken = found.programName.size();
        if (word && found.programStarts) {
            const std::wstring_view rest =
                std::wstring_view(found.programName).substr(found.typed.size());
            taken = found.typed.size() + torvex::ranking::NextWordLength(rest);
        }
        programList.taken = found.program;
        programList.takenFrom = torvex::programs::Folded(torvex::ToU16(found.typed));
        ReplaceTyped(found.programName.substr(0, taken), -1);
        return true;
    }
    if (found.line.empty()) return false;
    const std::wstring_view line = found.line;
    std::size_t taken = line.size();
    if (word) {
        taken =
            found.typed.size() + torvex::ranking::NextWordLength(line.substr(found.typed.size()));
    }
    // The held line's own case, also for what was typed in another.
    ReplaceTyped(std::wstring(line.substr(0, taken)), taken == line.size() ? found.slot : -1);
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
        if (found.program >= 0) {
            shown = ShownProgram(found);
        } else {
            if (found.line.empty()) return;
            shown = std::wstring(found.line.substr(found.typed.size()));
        }
    }
    std::wstring_view rest = shown;
    POINT caret = {};
    if (!GetCaretPos(&caret)) return;
    RECT format = {};
    SendMessageW(editWindow, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    RECT area = {caret.x, format.top, format.right, format.bottom};
    // Every glyph that moves on takes a pixel at least: what lies past twice the width is never
    // seen, and is not laid out (a held line may be 4,095 units long).
    const std::size_t seen =
        2 * static_cast<std::size_t>(std::max<LONG>(area.right - area.left, 0)) + 64;
    if (rest.size() > seen) rest = rest.substr(0, seen);
    torvex::Selection selected(dc, font);
    SetTextColor(dc, PromptColor());
    SetBkMode(dc, TRANSPARENT);
    // Laid out as the Edit lays out its line: no prefix, no breaks, cut at the edge.
    ExtTextOutW(dc, area.left, area.top, ETO_CLIPPED, &area, rest.data(),
                static_cast<UINT>(rest.size()), nullptr);
}
