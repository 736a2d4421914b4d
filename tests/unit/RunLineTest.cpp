// Enter in the box: what reaches the shell, the engine, the field and the history.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "interpreter/Aliases.h"
#include "host/ShellMessages.h"
#include "plugin/TorvexPlugin.h"
#include "shell/StandIn.h"
#include "tests/support/Allocations.h"
#include "tests/support/Clipboard.h"
#include "tests/support/ImportTable.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/PluginBox.h"
#include "tests/support/TempShellFolder.h"
#include "tests/support/Text.h"

namespace {

using testsupport::Delivery;
using testsupport::ModalDriver;
using testsupport::Target;

// This program's own "EC": a look-up of the entry made without an engine module would find it.
bool programsEngineEntryCalled = false;
extern "C" __declspec(dllexport) void EC(void) {
    programsEngineEntryCalled = true;
}

class RunLineTest : public testsupport::PluginBox {
  protected:
    void SetUp() override {
        PluginBox::SetUp();
        Start(true);
    }
    std::string Newest() { return testsupport::Utf8(plugin_->history[0]); }
};

struct Row {
    const char* typed;
    UINT message;
    WPARAM wParam;
};

TEST_F(RunLineTest, DotCommandsArePostedToTheShellInAnyCase) {
    const Row rows[] = {
        {".exit", 10101, 0},     {".QUIT", 10101, 0},        {".Shutdown", 10401, 0},
        {".reboot", 10401, 1},   {".LogOff", 10401, 2},      {".hibernate", 10401, 3},
        {".suspend", 10401, 4},  {".lock", 10401, 5},        {".run", 10402, 0},
        {".reconfig", 10103, 0}, {".ReStart", 10102, 0},     {".editstyle", 10201, 0},
        {".editmenu", 10201, 1}, {".editPlugins", 10201, 2}, {".editextensions", 10201, 3},
    };
    for (const Row& row : rows) {
        shell_.Clear();
        Run(row.typed);
        EXPECT_TRUE(shell_.Matches({{Target::kMain, row.message, Delivery::kPosted, row.wParam}}))
            << row.typed;
        EXPECT_EQ(Field(), "") << row.typed;
        EXPECT_EQ(Newest(), row.typed);
    }
    EXPECT_EQ(EngineGot(), "") << "no dot-command reaches the engine";
}

TEST_F(RunLineTest, ACommandWithBlanksIsNotACommand) {
    Run(".exit ");
    Run(" .exit");
    EXPECT_TRUE(shell_.Matches({}));
    EXPECT_EQ(EngineGot(), ".exit | .exit");
}

TEST_F(RunLineTest, BroadcastLinesArePostedAndHandedToTheEngine) {
    SetWindowTextA(box(), "@NMShowPlugins");
    Send(WM_CHAR, '\r');
    SetWindowTextA(box(), "@Castpad Toggle Slit");
    Send(WM_CHAR, '\r');
    EXPECT_EQ(Field(), "");
    // Both texts are still readable when the shell gets to them.
    shell_.Pump();
    EXPECT_TRUE(shell_.Matches({
        {Target::kMain, shell::kBroadcast, Delivery::kPosted, 0, 0, "@NMShowPlugins", true},
        {Target::kMain, shell::kBroadcast, Delivery::kPosted, 0, 0, "@Castpad Toggle Slit", true},
    }));
    EXPECT_EQ(EngineGot(), "@NMShowPlugins|@Castpad Toggle Slit");
}

TEST_F(RunLineTest, OtherLinesGoToTheEngineAndAreRecorded) {
    Run("notepad");
    Run("");
    EXPECT_EQ(EngineGot(), "notepad|");
    EXPECT_TRUE(shell_.Matches({}));
    EXPECT_EQ(plugin_->historyCount, 2);
    EXPECT_EQ(Newest(), "") << "the empty line is recorded too";
    EXPECT_STREQ(plugin_->history[1], L"notepad");
}

// A packaged app of the test's own (the system lists none here): suggested by a word of its name,
// started through shell:AppsFolder by its AppUserModelID with the words after its name.
std::wstring startedFile, startedParameters;
BOOL WINAPI RecordStart(SHELLEXECUTEINFOW* execute) {
    startedFile = execute->lpFile != nullptr ? execute->lpFile : L"";
    startedParameters = execute->lpParameters != nullptr ? execute->lpParameters : L"";
    return TRUE;
}

TEST_F(RunLineTest, APackagedAppStartsByItsAppUserModelId) {
    plugin_->programList.keeper.Stop();  // the list is this test's
    const torvex::programs::Listed app = {
        {u"Torvex Packaged", u"Torvex.App_8wekyb3d8bbwe!App", torvex::programs::Kind::kPackaged},
        u"shell:AppsFolder\\Torvex.App_8wekyb3d8bbwe!App"};
    plugin_->programList.catalog = torvex::programs::MakeCatalog({app});
    plugin_->programList.stale = true;
    TorvexPlugin::Suggested found = plugin_->SuggestionFor(L"packa");
    EXPECT_EQ(plugin_->ShownProgram(found), L" \u2192 Torvex Packaged");
    testsupport::ImportHook hook = {"ShellExecuteExW", reinterpret_cast<void*>(RecordStart),
                                    nullptr};
    ASSERT_EQ(testsupport::PatchImports(GetModuleHandleA(nullptr), "shell32.dll", &hook, 1, true),
              1);
    Run("torvex PACKAGED --flag");
    testsupport::PatchImports(GetModuleHandleA(nullptr), "shell32.dll", &hook, 1, false);
    EXPECT_EQ(startedFile, L"shell:AppsFolder\\Torvex.App_8wekyb3d8bbwe!App");
    EXPECT_EQ(startedParameters, L"--flag");
    EXPECT_EQ(EngineGot(), "");
    EXPECT_EQ(Newest(), "torvex PACKAGED --flag") << "recorded as typed";
}

TEST_F(RunLineTest, AMissingEngineShowsTheBoxAndStillRecords) {
    ModalDriver closer;
    plugin_->engineModule = nullptr;
    programsEngineEntryCalled = false;
    Run("notepad");
    EXPECT_FALSE(programsEngineEntryCalled) << "no engine module: no look-up of \"EC\" at all";
    plugin_->engineModule = GetModuleHandleA("kernel32.dll");  // loaded, but no "EC"
    Run("calc");
    auto seen = closer.Seen();
    ASSERT_EQ(seen.size(), 2u);
    for (const auto& dialog : seen) {
        EXPECT_EQ(dialog.caption, "bug:");
        EXPECT_EQ(dialog.text, "Can't load DLL: quorlin.dll");
    }
    EXPECT_EQ(plugin_->engineEntry, nullptr);
    EXPECT_EQ(Field(), "");
    EXPECT_EQ(Newest(), "calc");
}

// The browse position outlives a run (what was shown is one slot older when the run added a
// line), but not a .clear.
TEST_F(RunLineTest, ARunKeepsTheBrowsePositionAndClearLeavesNothingToRecall) {
    Run("a");
    Run("b");
    Run("c");
    plugin_->RecallOlder();
    plugin_->RecallOlder();
    EXPECT_EQ(Field(), "b");
    Run("d");
    for (const char* older : {"b", "a"}) {
        plugin_->RecallOlder();
        EXPECT_EQ(Field(), older);
    }
    Run(".CLEAR");
    EXPECT_EQ(plugin_->historyCount, 1);
    EXPECT_EQ(Newest(), ".CLEAR");
    std::ifstream in(historyPath_, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), ".CLEAR\r\n");
    EXPECT_EQ(EngineGot(), "a|b|c|d");

    // The browse position went with the lines: Down has nothing older to go back to.
    EXPECT_EQ(plugin_->historyCursor, 0);
    plugin_->RecallNewer();
    EXPECT_EQ(Field(), "");
    for (int i = 0; i < 3; ++i) {
        plugin_->RecallOlder();
        EXPECT_EQ(Field(), ".CLEAR");
    }
    for (int slot = 1; slot < kHistorySlots; ++slot) ASSERT_STREQ(plugin_->history[slot], L"");
}

TEST_F(RunLineTest, WhoShowsTheUserAndDropsTheFocus) {
    char name[64] = "";
    DWORD size = sizeof(name);
    ASSERT_TRUE(GetUserNameA(name, &size));
    for (const char* typed : {".who", ".WHOami"}) {
        SetForegroundWindow(box());
        SetFocus(box());
        ASSERT_EQ(GetFocus(), box());
        Run(typed);
        EXPECT_EQ(Field(), name);
        EXPECT_EQ(GetFocus(), nullptr);
        EXPECT_EQ(Newest(), typed);
    }
    EXPECT_EQ(EngineGot(), "");

    plugin_->noWho = true;
    Run(".who");
    EXPECT_EQ(EngineGot(), ".who") << "switched off, .who is an ordinary line";
    EXPECT_EQ(Field(), "");
}

// Typing and pasting stop at the most a line holds, and text forced in past it from outside is
// refused or not run: a line is never run or recorded cut.
TEST_F(RunLineTest, TheBoxHoldsNoMoreThanALineAndNeverRunsOneCut) {
    const std::string full(4095, 'x');
    ASSERT_TRUE(testsupport::SetClipboardText(std::string(5012, 'x')));
    Send(WM_PASTE);
    Send(WM_CHAR, 'y');
    EXPECT_EQ(Field(), full);
    EXPECT_FALSE(SetWindowTextA(box(), (full + "z").c_str()));
    EXPECT_EQ(Field(), full);
    Run(Field());
    EXPECT_EQ(Newest(), full);
    EXPECT_EQ(EngineGot(), full);

    // A character in two halves goes in whole or not at all, pasted or typed.
    const std::wstring pair = L"\U0001F600";
    SetWindowTextW(box(), std::wstring(4094, L'x').c_str());
    Send(EM_SETSEL, 4094, 4094);
    ASSERT_TRUE(testsupport::SetClipboardText(testsupport::Utf8(pair)));
    Send(WM_PASTE);
    SendMessageW(box(), WM_CHAR, pair[0], 1);
    SendMessageW(box(), WM_CHAR, pair[1], 1);
    EXPECT_EQ(GetWindowTextLengthW(box()), 4094);
    SendMessageW(box(), WM_CHAR, L'\u00E9', 1);
    EXPECT_EQ(Field(), std::string(4094, 'x') + "é");
    // Nor from a clipboard line longer than a line whose pair stands at the limit.
    SetWindowTextW(box(), L"");
    ASSERT_TRUE(testsupport::SetClipboardText(std::string(4094, 'x') + "😀tail"));
    Send(WM_PASTE);
    EXPECT_EQ(Field(), std::string(4094, 'x'));

    Send(EM_SETLIMITTEXT, 0);  // another program lifts the limit
    SendMessageA(box(), EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(std::string(5000, 'w').c_str()));
    Send(WM_CHAR, '\r');
    EXPECT_EQ(EngineGot(), "");
    EXPECT_EQ(Newest(), full);
}

// The shell's broadcast commands, and engines of the older kind, take text in the code page
// (1252 here) only: a line with characters it lacks is not sent with '?' in their place. The
// user is told, naming the line, and it stays in the box, not recorded.
TEST_F(RunLineTest, ALineTheShellOrAnOlderEngineCannotTakeStaysInTheBox) {
    HMODULE olderKind = LoadLibraryA("foreign_engine.dll");
    using Take = const char* (*)();
    auto taken = reinterpret_cast<Take>(
        reinterpret_cast<void*>(GetProcAddress(olderKind, "TakeRecordedLines")));
    ModalDriver closer;
    Run("@Жёлтый");
    Run("@café");
    plugin_->engineModule = olderKind;
    Run("notepad 日本語");
    EXPECT_EQ(Field(), "notepad 日本語");
    Run("notepad café");
    ASSERT_EQ(closer.Seen().size(), 2u);
    EXPECT_NE(closer.Seen()[0].text.find("\"@Жёлтый\""), std::string::npos) << "names the line";
    EXPECT_NE(closer.Seen()[1].text.find("\"notepad 日本語\""), std::string::npos);
    EXPECT_TRUE(shell_.Matches(
        {{Target::kMain, shell::kBroadcast, Delivery::kPosted, 0, 0, "@caf\xE9", true}}));
    EXPECT_STREQ(taken(), "notepad café");
    EXPECT_EQ(HistoryFile(), "@caf\xC3\xA9\r\nnotepad caf\xC3\xA9\r\n");
    plugin_->engineModule = nullptr;
    FreeLibrary(olderKind);
}

// Half a character, as Backspace leaves one, runs and is recorded as U+FFFD, which history.txt
// can hold: the list and the file hold the same line. Found by the soak (seed 4100346457): the
// list held the half, the file U+FFFD, and after a restart the same line was recorded twice.
TEST_F(RunLineTest, HalfACharacterRunsAndIsRecordedAsTheReplacementCharacter) {
    for (int round = 0; round < 2; ++round) {
        SetWindowTextW(box(), L"a\xD83D b");
        Send(WM_CHAR, '\r');
        plugin_->LoadHistory();  // as at the next start
    }
    EXPECT_EQ(EngineGot(), "a\xEF\xBF\xBD b|a\xEF\xBF\xBD b");
    EXPECT_EQ(plugin_->historyCount, 1);
    EXPECT_EQ(HistoryFile(), "a\xEF\xBF\xBD b\r\n");
}

// An expansion too long is refused as soon as it is: one of {url} placeholders over a long line
// in another script would otherwise take tens of megabytes of the shell's memory first.
TEST(Aliases, AnExpansionIsRefusedOnceItGrowsTooLong) {
    testsupport::TempShellFolder folder("torvex-aliases");
    std::string rc = "torvex.alias: u ";
    for (int placeholder = 0; placeholder < 800; ++placeholder) rc += "{url}";
    torvex::AliasTable aliases;
    aliases.Load(folder.Write("torvex.rc", rc + "\n").c_str());
    std::u16string expanded, name;
    testsupport::ForgetLargestAllocation();
    EXPECT_EQ(aliases.Expand(u"u " + std::u16string(4000, u'\u65E5'), expanded, name),
              torvex::AliasTable::Found::kTooLong);
    EXPECT_LT(testsupport::LargestAllocation(), 1024u * 1024);
}

}  // namespace
