#pragma once
// The one plug-in instance: every field the plug-in keeps, in the order the shell's plug-in
// record has always had them, and the member operations that work on them.
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "appearance/PaintCache.h"
#include "calculator/Calculator.h"
#include "history/GonePrograms.h"
#include "history/HistoryLocation.h"
#include "history/Uses.h"
#include "host/NimbarApi.h"
#include "interpreter/Aliases.h"
#include "interpreter/Calculated.h"
#include "programs/Programs.h"
#include "window/HistorySearch.h"
#include "worker/Worker.h"

constexpr int kWorkBufferSize = 512;
constexpr int kHistorySlots = 512;
constexpr int kHistorySlotSize = 4096;
constexpr int kMaxLineLength = kHistorySlotSize - 1;  // the most the box holds, and runs
constexpr int kFontNameSize = 260;
constexpr int kPluginFolderSize = 512;
constexpr int kSettingsPathSize = 4096;
// The box's own timer for writing the use counts; the Edit's own timers use other numbers.
constexpr UINT_PTR kSaveUsesTimer = 0x7456;

typedef void (*EngineEntry)(void);

namespace torvex {
class TabCycle;
}

// The box holds UTF-16: its line, the history and the plug-in's own folder are wide. What the
// shell speaks (settings, style, broadcast commands) stays in the ANSI code page.
struct TorvexPlugin {
    wchar_t workBuffer[kWorkBufferSize];
    HMODULE engineModule;
    EngineEntry engineEntry;
    HWND editWindow;
    HWND slitWindow;
    WNDPROC defaultEditProc;
    COLORREF textColor;
    int32_t historyCount;
    int32_t historyCursor;
    wchar_t history[kHistorySlots][kHistorySlotSize];
    HINSTANCE instance;
    HWND shellWindow;
    HFONT font;
    bool inSlit;
    bool slitAutoHide;
    StyleTexture* toolbarTexture;
    StyleTexture* labelTexture;
    Menu* menu;
    COLORREF toolbarColor;
    COLORREF toolbarColorTo;
    COLORREF labelColor;
    COLORREF labelColorTo;
    COLORREF borderColor;
    bool noWho;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    int32_t bevelWidth;
    int32_t borderWidth;
    char fontName[kFontNameSize];
    int32_t fontHeight;
    // Beyond the shell's record: how many messages of the box are being handled (a line run, a
    // menu shown), and whether the shell stopped the plug-in meanwhile, so that the instance is
    // freed only when the last of them returns.
    int32_t busy;
    bool stopPending;
    // Switches from torvex.rc (ReadSettings), each on unless switched off: Tab completion,
    // Escape empties the field, Ctrl+Backspace deletes a word, the history kept in history.txt.
    bool tabCompletion;
    bool escapeClears;
    bool wordDelete;
    bool historyFile;
    // And beyond every launcher: aliases (their own "torvex.alias:" lines), Ctrl+Shift+Enter
    // runs a line as administrator, Ctrl+R searches the history, Shift+Delete removes a line.
    torvex::AliasTable aliases;
    bool elevate;
    bool historySearch;
    bool historyDelete;
    torvex::TabCycle* tabCycle;  // the matches Tab goes through; null between cycles
    bool shiftTap;        // Shift is down, and no other key went down since: its release completes
    bool lowHalfRefused;  // a character's first half did not fit the line: the second follows
    HHOOK typedCharacters;          // carries characters past an ANSI message loop (window/)
    int recalledSlot;               // the slot the field shows, recalled and unchanged since; or -1
    torvex::HistorySearch search;   // Ctrl+R (window/)
    torvex::PaintCache paintCache;  // the background drawn once, and the bitmap a paint uses
    int textHeight;                 // of the font, measured when the font is made
    bool repaintPending;            // the whole box asked to be painted, in this message
    torvex::HistoryPlace historyPlace;  // where history.txt is kept (history/)
    // Suggestions as you type ("torvex.suggest:"), ranked by the uses of each held line.
    bool suggest;
    bool composing;                     // an input method is composing: no suggestion
    bool focused;                       // the box has the keyboard focus
    torvex::uses::Uses uses;            // the use counts (history/)
    torvex::uses::Ranked ranked;        // what a key ranks by (history/)
    torvex::Worker worker;              // for what may wait on a disk (worker/)
    torvex::GonePrograms gonePrograms;  // which lines' programs are gone, as learnt on it
    // The calculator ("torvex.calculator:"), and the last result.
    bool calculator;
    torvex::Calculated calculated;  // the last result (interpreter/)
    // Programs by name ("torvex.programs:"): the Start menu's, App Paths' and packaged apps'.
    bool programs;
    torvex::programs::Programs programList;  // (programs/)

    TorvexPlugin(HINSTANCE instance, HWND slit);

    // Start and stop (plugin/StartStop.cpp). CreateBox gives 1 when the box cannot be made.
    void LoadEngine();
    int CreateBox();
    void Stop();
    void GiveBackMenu();

    // The folder of the plug-in's module, with its trailing backslash (a static buffer).
    const wchar_t* GetPluginFolder();

    // Settings, style and font (appearance/).
    void ReadSettings();
    void ApplyFont();
    void PlaceText();  // the formatting rectangle, after the search prompt
    int BoxHeight(bool unixBullet) const;

    // Painting (appearance/Paint.cpp): the handlers of WM_PAINT and WM_CTLCOLOREDIT.
    void PaintBackground(HDC dc, const RECT* area);
    LRESULT PaintBox(HWND window);
    void RepaintWhole(HWND window);  // appearance/Repaint.cpp
    void PaintAlone(HWND window, HDC screen, const RECT& client, const RECT& area);
    void DrawForeground(HWND window, HDC dc, const RECT& client, const RECT& area);
    void DrawSearchPrompt(HDC dc, const RECT& client);
    COLORREF PromptColor() const;  // half-way between the text's colour and the toolbar's
    LRESULT ColorText(HDC dc);

    // Floating or docked (window/Docking.cpp), and the context menu (window/ContextMenu.cpp).
    bool IsInSlit() const;
    void DockInSlit();
    void UndockFromSlit();
    void RouteColoursAgain();
    void ToggleSlit();
    void ShowBox();
    void HideBox();
    void MoveBox();
    void HoldSlitOpen(bool hold);
    void GiveBackSlitAutoHide();  // at stop
    LRESULT ShowContextMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Enter in the box (interpreter/RunLine.cpp); `elevated` for Ctrl+Shift+Enter.
    void RunLine(bool elevated = false);

    // Tab, Escape and Ctrl+Backspace in the box (window/LineKeys.cpp).
    void CompleteWord();
    void EndTabCycle();
    void ClearLine();
    void DeleteWordBeforeCaret();

    // Command history (history/History.cpp).
    void LoadHistory();
    void FillHistory(const std::vector<std::u16string>& lines);  // the newest 512, newest first
    void AddToHistory(const wchar_t* line);
    void RecallOlder();
    void RecallNewer();
    void CompleteFromHistory();
    // Shift+Delete on a recalled line: gone from the list and the file; false when the field
    // shows no recalled line unchanged (history/HistoryRemoval.cpp).
    bool RemoveRecalledLine();
    int DropFromList(const wchar_t* line, int slot);

    // Ctrl+R (window/HistorySearch.cpp): each handler answers whether it took the key.
    void SearchOlder();
    bool SearchKey(WPARAM key);
    bool SearchCharacter(WPARAM character);
    void EndSearch();
    std::wstring SearchPrompt() const;  // what the box shows before the text while searching

    // Suggestions (window/Suggestions.cpp): the typed text and the slot of the line suggested for
    // it (-1: none), the keys that take it, and the drawing.
    // A line counted but no longer held has no slot: `slot` is -1 and `line` holds it.
    // With no line to suggest, a program may be: `program` its entry, drawn as the rest of its
    // name when the name starts with what is typed.
    struct Suggested {
        std::wstring typed;
        int slot = -1;
        std::wstring_view line;  // empty: none
        int program = -1;
        std::wstring programName;
        bool programStarts = false;
    };
    bool TypedAtTheEnd(std::wstring& typed);
    Suggested CurrentSuggestion();
    Suggested SuggestionFor(std::wstring typed);
    bool TakeSuggestion(WPARAM key);
    void DrawSuggestion(HDC dc);
    void TakeLearntPrograms();
    void RankAgain() {
        ranked.stale = true;
        programList.stale = true;
    }
    void MakeRanking();
    void ReplaceTyped(const std::wstring& text, int slot);
    static std::int64_t Now();

    // Programs by name (window/ProgramSuggestions.cpp): the list's thread, the list it hands
    // over, the entry for what is typed, and what is learnt from a pick.
    void StartProgramList();
    void ProgramsSwitched();  // after the settings were read again
    void TakeProgramList();
    void RankPrograms();
    void SuggestProgram(Suggested& found);
    std::wstring ShownProgram(const Suggested& found) const;
    // `taken`: the entry taken with End or Right since the last line ran, or -1.
    std::u16string PickedFrom(const std::u16string& line, int entry, int taken);
    void RecordPick(const std::u16string& text, const std::u16string& key);
    // Enter on a line that would not run, whose first words are a program's name
    // (interpreter/RunProgram.cpp): false when it is no such line.
    bool StartNamedProgram(const std::u16string& line, const wchar_t* typed, bool elevated,
                           int taken);

    // Calculations (interpreter/Calculation.cpp).
    static char16_t DecimalSeparator();
    bool MayCalculate(const std::wstring& line);
    const torvex::calc::Result& CalculationOf(const std::wstring& line);
    bool RunCalculation(const wchar_t* line);

    // The uses of the held lines, and their file beside history.txt (history/HistoryUses.cpp).
    void LoadUses();
    void RecordUse(const wchar_t* line);
    void ForgetUses(const wchar_t* line);
    void SaveUsesSoon();
    void SaveUses();       // on the worker: what cannot be written is kept for the next write
    void TakeSavedUses();  // the worker's answers
    void ClearUses();      // ".clear": the file is gone, or the user is told why not
    bool UsesPath(std::wstring& path);

    // "@Castpad Focus": the box takes the keyboard (window/Docking.cpp).
    void Summon();

  private:
    void SendToShell(const char* broadcast);
    void LocateSettingsFile(char (&path)[kSettingsPathSize]);
    void ReadStyle();
    void ReplaceTexture(StyleTexture*& texture, const char* description);
    bool PostBroadcast(const wchar_t* line);
    void ClearHistory();
    void ForgetHistory();
    void ShowUserName();
    // What a line did: not run (it stays in the field), run, cleared the history, or shown the
    // user's name.
    enum class Outcome { kNotRun, kRun, kCleared, kShowsName };
    Outcome RunCommand(const wchar_t* line, bool elevated);
    // False when the line was not handed over and must stay in the field
    // (interpreter/EngineCall.cpp).
    bool HandToEngine(const wchar_t* line, bool elevated);
    bool BuildHistoryPath();
    void ShowLine(const wchar_t* text, int slot);
    void ShowRecalled(const wchar_t* text, int slot = -1);
    void ShowFound(const wchar_t* text, int slot = -1);
    void ShowSearch();
    void ShiftHistoryDown();
};

extern TorvexPlugin* thePlugin;

// Cuts a module path after its last backslash, keeping the backslash; as GetPluginFolder does.
void CutAfterLastBackslash(char* path);
void CutAfterLastBackslash(wchar_t* path);

// The folder of `module`, with its trailing backslash, into `folder`; the empty text when the
// module's whole path cannot be had (a failed call, or a path that does not fit `size`), for a
// path cut short would name another folder. In the ANSI code page for the shell's readers, and
// wide for the plug-in's own files.
void ModuleFolder(HMODULE module, char* folder, DWORD size);
void ModuleFolder(HMODULE module, wchar_t* folder, DWORD size);
