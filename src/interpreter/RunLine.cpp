// Enter in the box: the line becomes a shell message, a broadcast command, ".clear", ".who", or
// goes to the command engine; then the box is cleared and the line recorded.
#include <windows.h>

#include <cwchar>
#include <string>
#include <utility>

#include "interpreter/CommandTable.h"
#include "plugin/Texts.h"
#include "text/Utf.h"
#include "host/ShellMessages.h"
#include "plugin/BoundedText.h"
#include "text/CodePage.h"
#include "plugin/TorvexPlugin.h"

namespace {

constexpr int kLineSize = kMaxLineLength + 1;
constexpr int kUserNameSize = 50;

// A posted broadcast is read by the shell after RunLine has returned, so its text lives here,
// in the code page, with room for a line in any of them. Several "@" lines may be waiting at
// once before the shell catches up.
constexpr int kPostedTexts = 8;
constexpr int kPostedSize = 3 * kMaxLineLength + 1;
char postedTexts[kPostedTexts][kPostedSize];
int nextPostedText = 0;

const char* KeepForPosting(const std::string& line) {
    char* text = postedTexts[nextPostedText];
    nextPostedText = (nextPostedText + 1) % kPostedTexts;
    torvex::CopyText(text, kPostedSize, line.c_str());
    return text;
}

}  // namespace

void torvex::texts::TellAboutLine(const wchar_t* line, const wchar_t* what) {
    std::wstring text = L"\"" + std::wstring(line) + L"\"" + what;
    MessageBoxW(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
}

// Sent only as it was typed: a character the code page lacks would reach the shell as '?'.
bool TorvexPlugin::PostBroadcast(const wchar_t* line) {
    std::string bytes;
    if (!torvex::ToCodePage(line, bytes) || bytes.size() >= kPostedSize) {
        torvex::texts::TellAboutLine(line, torvex::texts::kNotForShell);
        return false;
    }
    PostMessageA(shellWindow, shell::kBroadcast, 0,
                 reinterpret_cast<LPARAM>(KeepForPosting(bytes)));
    return true;
}

void TorvexPlugin::ClearHistory() {
    if (BuildHistoryPath()) DeleteFileW(workBuffer);
    // Emptied whether or not the file could be deleted: a reload would bring back a file that
    // another program holds open.
    ForgetHistory();
    ClearUses();
}

void TorvexPlugin::ShowUserName() {
    wchar_t name[kUserNameSize] = L"";
    DWORD size = kUserNameSize;
    // A name that cannot be read, or does not fit, leaves the field empty.
    if (!GetUserNameW(name, &size)) name[0] = L'\0';
    SetWindowTextW(editWindow, name);
    SetFocus(nullptr);
}

// The line typed, or the line its alias stands for, runs; the line typed is recorded.
void TorvexPlugin::RunLine(bool elevated) {
    EndSearch();        // the line found is the line run
    recalledSlot = -1;  // what the field shows next was not recalled
    const int taken = std::exchange(programList.taken, -1);  // a pick is of this line only
    // The field holds no more than a line may; text forced in past that is never run cut.
    if (GetWindowTextLengthW(editWindow) > kMaxLineLength) return;
    wchar_t typed[kLineSize] = L"";
    GetWindowTextW(editWindow, typed, kLineSize);
    // A line break never gets into a line (the text may have come from another program): the
    // line is what stands before the first one.
    typed[std::wcscspn(typed, L"\r\n")] = L'\0';
    // Half a character (the Edit class deletes one half of a pair with Backspace) runs, and is
    // recorded, as the replacement character that history.txt can hold: the list and the file
    // then hold the same line.
    std::u16string line = torvex::utf::WithoutLoneHalves(torvex::ToU16(typed));
    torvex::CopyText(typed, torvex::ToWide(line).c_str());

    if (RunCalculation(typed)) return;
    std::u16string expanded, alias;
    switch (aliases.Expand(line, expanded, alias)) {
        case torvex::AliasTable::Found::kTooLong:
            torvex::texts::TellAboutLine(torvex::ToWide(alias).c_str(),
                                         torvex::texts::kAliasTooLong);
            return;
        case torvex::AliasTable::Found::kExpanded:
            break;
        case torvex::AliasTable::Found::kNone:
            if (StartNamedProgram(line, typed, elevated, taken)) return;
            expanded = line;
            break;
    }
    // An expansion runs exactly as if typed, and is not looked up again.
    Outcome outcome = RunCommand(torvex::ToWide(expanded).c_str(), elevated);
    if (outcome == Outcome::kNotRun) return;  // it stays in the field, and is not recorded
    if (outcome != Outcome::kShowsName) SetWindowTextW(editWindow, L"");
    AddToHistory(typed);
    // The line typed, however it got into the field; ".clear" leaves no counts file behind.
    if (outcome != Outcome::kCleared) RecordUse(typed);
}

TorvexPlugin::Outcome TorvexPlugin::RunCommand(const wchar_t* line, bool elevated) {
    if (line[0] == L'@' && !PostBroadcast(line)) return Outcome::kNotRun;
    if (const torvex::DotCommand* command = torvex::FindDotCommand(line)) {
        PostMessageA(shellWindow, command->message, command->wParam, 0);
    } else if (torvex::IsCommand(line, torvex::kClearCommand)) {
        ClearHistory();
        return Outcome::kCleared;
    } else if (torvex::IsCommand(line, torvex::kWhoCommand, torvex::kWhoLength) && !noWho) {
        ShowUserName();
        return Outcome::kShowsName;
    } else if (!HandToEngine(line, elevated && line[0] != L'@')) {  // "@": as with Enter
        return Outcome::kNotRun;
    }
    return Outcome::kRun;
}
