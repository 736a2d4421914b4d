// Enter in the box: the line becomes a shell message, a broadcast command, ".clear", ".who", or
// goes to the command engine; then the box is cleared and the line recorded.
#include <windows.h>

#include <cstring>

#include "commands/CommandTable.h"
#include "commands/Texts.h"
#include "host/ShellMessages.h"
#include "plugin/BoundedText.h"
#include "plugin/TorvexPlugin.h"

namespace {

constexpr int kLineSize = kMaxLineLength + 1;
constexpr int kUserNameSize = 50;

// A posted broadcast is read by the shell after RunLine has returned, so its text lives here.
// Several "@" lines may be waiting at once before the shell catches up.
constexpr int kPostedTexts = 8;
char postedTexts[kPostedTexts][kLineSize];
int nextPostedText = 0;

const char* KeepForPosting(const char* line) {
    char* text = postedTexts[nextPostedText];
    nextPostedText = (nextPostedText + 1) % kPostedTexts;
    torvex::CopyText(text, kLineSize, line);
    return text;
}

}  // namespace

void TorvexPlugin::PostBroadcast(const char* line) {
    PostMessageA(shellWindow, shell::kBroadcast, 0, reinterpret_cast<LPARAM>(KeepForPosting(line)));
}

void TorvexPlugin::ClearHistory() {
    if (BuildHistoryPath()) DeleteFileA(workBuffer);
    // Emptied whether or not the file could be deleted: a reload would bring back a file that
    // another program holds open.
    ForgetHistory();
}

void TorvexPlugin::ShowUserName() {
    char name[kUserNameSize] = "";
    DWORD size = kUserNameSize;
    // A name that cannot be read, or does not fit, leaves the field empty.
    if (!GetUserNameA(name, &size)) name[0] = '\0';
    SetWindowTextA(editWindow, name);
    SetFocus(nullptr);
}

void TorvexPlugin::RunLine() {
    // The field holds no more than a line may; text forced in past that is never run cut.
    if (GetWindowTextLengthA(editWindow) > kMaxLineLength) return;
    char line[kLineSize] = "";
    GetWindowTextA(editWindow, line, kLineSize);
    // A line break never gets into a line (the text may have come from another program): the
    // line is what stands before the first one.
    line[std::strcspn(line, "\r\n")] = '\0';

    if (line[0] == '@') PostBroadcast(line);

    if (const torvex::DotCommand* command = torvex::FindDotCommand(line)) {
        PostMessageA(shellWindow, command->message, command->wParam, 0);
    } else if (_stricmp(line, torvex::kClearCommand) == 0) {
        ClearHistory();
    } else if (_strnicmp(line, torvex::kWhoCommand, 4) == 0 && !noWho) {
        ShowUserName();
        AddToHistory(line);
        return;  // the field keeps showing the name
    } else if (!HandToEngine(line)) {
        return;  // not run: it stays in the field, and is not recorded
    }
    SetWindowTextA(editWindow, "");
    AddToHistory(line);
}
