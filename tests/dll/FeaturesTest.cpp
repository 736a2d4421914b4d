// What the box does beyond the launchers, through the real torvex.dll: aliases, the focus
// broadcast, Ctrl+Shift+Enter, Ctrl+R and Shift+Delete, each a table of keys with the field,
// the engine's record and history.txt they must leave.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "host/ShellMessages.h"
#include "tests/support/AppData.h"
#include "tests/support/Argdump.h"
#include "tests/support/Canvas.h"
#include "tests/support/Clipboard.h"
#include "tests/support/ImportTable.h"
#include "tests/support/Keyboard.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RealPlugin.h"
#include "tests/support/Shortcut.h"

namespace {

using testsupport::Delivery;
using testsupport::PressKey;
using Features = testsupport::RealPlugin;

// Keys, as a script: text is typed; these stand for chords.
constexpr char kCtrlR = '\x12', kEscape = '\x1B', kBackspace = '\b', kEnter = '\r';
constexpr char kRight = '\x1D', kUp = '\x1E', kShiftDelete = '\x7F', kCtrlShiftEnter = '\x10';
constexpr char kAltGrR = '\x11';  // Ctrl and Alt: a character on some keyboards
constexpr char kCtrlEnter = '\x0E', kCtrlZ = '\x1A';
constexpr char kEnd = '\x05', kCtrlRight = '\x06', kShiftEnd = '\x07', kLeft = '\x02', kTab = '\t';
constexpr char kCtrlEnd = '\x0F', kShiftHome = '\x01';

void Held(std::initializer_list<int> keys, bool down) {
    BYTE state[256];
    GetKeyboardState(state);
    for (int key : keys) state[key] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

void Press(HWND box, const std::string& script) {
    for (char key : script) {
        switch (key) {
            case kCtrlR:
                Held({VK_CONTROL}, true), PressKey(box, 'R', 0x12), Held({VK_CONTROL}, false);
                break;
            case kCtrlShiftEnter:
                Held({VK_CONTROL, VK_SHIFT}, true), PressKey(box, VK_RETURN, '\n');
                Held({VK_CONTROL, VK_SHIFT}, false);
                break;
            case kCtrlZ:
                Held({VK_CONTROL}, true), PressKey(box, 'Z', 0x1A), Held({VK_CONTROL}, false);
                break;
            case kCtrlEnter:
                Held({VK_CONTROL}, true), PressKey(box, VK_RETURN, '\n'), Held({VK_CONTROL}, false);
                break;
            case kAltGrR:
                Held({VK_CONTROL, VK_MENU}, true), PressKey(box, 'R', L'\u00AE');
                Held({VK_CONTROL, VK_MENU}, false);
                break;
            case kShiftDelete:
                Held({VK_SHIFT}, true), PressKey(box, VK_DELETE), Held({VK_SHIFT}, false);
                break;
            case kEscape:
                PressKey(box, VK_ESCAPE, 27);
                break;
            case kBackspace:
                PressKey(box, VK_BACK, '\b');
                break;
            case kEnter:
                testsupport::PressEnter(box);
                break;
            case kRight:
                PressKey(box, VK_RIGHT);
                break;
            case kLeft:
                PressKey(box, VK_LEFT);
                break;
            case kEnd:
                PressKey(box, VK_END);
                break;
            case kCtrlRight:
                Held({VK_CONTROL}, true), PressKey(box, VK_RIGHT), Held({VK_CONTROL}, false);
                break;
            case kShiftEnd:
                Held({VK_SHIFT}, true), PressKey(box, VK_END), Held({VK_SHIFT}, false);
                break;
            case kShiftHome:
                Held({VK_SHIFT}, true), PressKey(box, VK_HOME), Held({VK_SHIFT}, false);
                break;
            case kCtrlEnd:
                Held({VK_CONTROL}, true), PressKey(box, VK_END), Held({VK_CONTROL}, false);
                break;
            case kTab:
                PressKey(box, VK_TAB, '\t');
                break;
            case kUp:
                PressKey(box, VK_UP);
                break;
            default:
                testsupport::TypeText(box, std::string(1, key));
        }
    }
}

const std::string kAliases =
    "torvex.alias: g https://example.org/search?q={url}\n"
    "torvex.alias: ff firefox.exe {1} --new\n"
    "TORVEX.ALIAS: rc .reconfig\n"
    "torvex.alias: pick {2}-{1}-{3}\n"
    "torvex.alias: all {*} and {*}, {x} {0}\n"
    "torvex.alias:\ntorvex.alias: alone\ntorvex.alias: \"bad name\" x\n"
    "torvex.alias: long " +
    std::string(5000, 'x') + "\n" + "torvex.alias: big " + std::string(4095, 'x') + "\U0001F600\n" +
    "torvex.alias: big2 {1}" + std::string(4095, 'x') + "\n";

TEST_F(Features, AliasesRunWhatTheyStandForAndRecordWhatWasTyped) {
    struct Case {
        const char* typed;
        const char* engine;
        UINT posted;
    };
    const Case cases[] = {
        {"g hello wörld &", "https://example.org/search?q=hello%20w%C3%B6rld%20%26", 0},
        {"FF \"C:\\My Docs\\x.txt\"", "firefox.exe \"C:\\My Docs\\x.txt\" --new", 0},
        {"rc", "", shell::kReconfigure},
        {"pick a \"b c\"", "\"b c\"-a-", 0},
        {"all  x y", "x y and x y, {x} ", 0},  // only {digits}, {*} and {url} are placeholders
        {"alone", "alone", 0},                 // no expansion: no alias
        {"gx y", "gx y", 0},
    };
    for (bool docked : {false, true}) {
        Start({"recording_engine.dll", docked}, kAliases);
        std::string file;
        for (const Case& row : cases) {
            shell_.Clear();
            Run(row.typed);
            EXPECT_EQ(EngineGot(), row.engine) << row.typed;
            EXPECT_EQ(shell_.messages().size(), row.posted != 0 ? 1u : 0u) << row.typed;
            if (row.posted != 0) {
                EXPECT_EQ(shell_.messages()[0].message, row.posted);
            }
            file += std::string(row.typed) + "\r\n";
        }
        // Longer than a line may be, even where a placeholder is left empty: refused, named.
        for (const char* name : {"long", "big", "big2"}) {
            testsupport::ModalDriver closer;
            Run(name);
            ASSERT_EQ(closer.Seen().size(), 1u) << name;
            EXPECT_NE(closer.Seen()[0].text.find("\"" + std::string(name) + "\""),
                      std::string::npos);
            EXPECT_EQ(Field(), name);
            EXPECT_EQ(EngineGot(), "");
            PressKey(box_, VK_ESCAPE, 27);
        }
        Press(box_, "p\t");  // alias names come before the programs
        EXPECT_EQ(Field(), "pick");
        Stop();
        EXPECT_EQ(HistoryFile(), file);
    }
    Start({"recording_engine.dll", false}, kAliases + "torvex.alias: false\n");
    Run("g x");
    EXPECT_EQ(EngineGot(), "g x") << "switched off";
    Stop();
    Start({"recording_engine.dll", false},
          "\xEF\xBB\xBFtorvex.alias: g x{1}\n");  // Notepad's UTF-8
    Run("g y");
    EXPECT_EQ(EngineGot(), "xy") << "an alias on the line after the byte order mark";
}

// A hotkey of the shell's sends "@Castpad Focus" while another program is in the foreground: the
// box takes the keyboard, its text selected. A broadcast with more words does nothing: the other
// program keeps the foreground. Nothing else takes the focus.
TEST_F(Features, TheFocusBroadcastBringsTheBoxForward) {
    const std::pair<const char*, bool> cases[] = {
        {"@Castpad Focus now", false},
        {"@Castpad Focus xyz", false},
        {"@castpad FOCUS", true},
    };
    for (bool docked : {false, true}) {
        for (const auto& [text, summons] : cases) {
            SCOPED_TRACE(std::string(text) + (docked ? ", docked" : ""));
            Start({"recording_engine.dll", docked});
            SetWindowTextW(box_, L"some text");
            STARTUPINFOW startup = {};
            startup.cb = sizeof(startup);
            PROCESS_INFORMATION other = {};
            wchar_t command[] = L"\"helper dir\\foreground.exe\"";
            ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr,
                                       nullptr, &startup, &other));
            struct Ended {  // also when a check below gives up: it would keep the foreground
                PROCESS_INFORMATION& other;
                ~Ended() {
                    TerminateProcess(other.hProcess, 0);
                    WaitForSingleObject(other.hProcess, 5000);
                    CloseHandle(other.hProcess);
                    CloseHandle(other.hThread);
                }
            } ended{other};
            DWORD owner = 0;
            for (int waited = 0; waited < 200 && owner != other.dwProcessId; ++waited) {
                shell_.Pump(50);
                GetWindowThreadProcessId(GetForegroundWindow(), &owner);
            }
            ASSERT_EQ(owner, other.dwProcessId) << "the other program is in the foreground";
            // And done taking it: under Wine, the X focus event that its own taking brings would
            // otherwise, handled late on a busy machine, take the foreground back from the box.
            ASSERT_EQ(WaitForInputIdle(other.hProcess, 10000), 0u);
            SendMessageA(box_, shell::kBroadcast, 0, reinterpret_cast<LPARAM>(text));
            // The window manager takes its time to give the foreground, the more so on a busy
            // machine: up to 10 s for it. What must not come is given a second to show.
            for (int waited = 0;
                 waited < (summons ? 200 : 20) &&
                 (GetFocus() != box_ || GetForegroundWindow() != GetAncestor(box_, GA_ROOT));
                 ++waited) {
                shell_.Pump(50);
            }
            GetWindowThreadProcessId(GetForegroundWindow(), &owner);
            EXPECT_EQ(owner == other.dwProcessId, !summons);
            EXPECT_EQ(GetForegroundWindow() == GetAncestor(box_, GA_ROOT), summons);
            EXPECT_EQ(GetFocus() == box_, summons);
            DWORD start = 1, end = 0;
            SendMessageW(box_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            if (summons) {
                EXPECT_EQ(start, 0u);
                EXPECT_EQ(end, 9u) << "the text selected";
            }
            Stop();
        }
    }
}

// Ctrl+Shift+Enter hands an engine's line over with the verb "runas"; the box's own commands and
// "@" lines run as with Enter. Ctrl+Enter without Shift neither runs nor elevates. An engine of
// the older kind cannot: the line stays.
TEST_F(Features, CtrlShiftEnterRunsALineAsAdministrator) {
    struct Case {
        std::string keys;
        const char *engine, *field;
    };
    const Case cases[] = {
        {std::string("notepad C:\\x.txt") + kCtrlShiftEnter, "[runas] notepad C:\\x.txt", ""},
        {std::string(".reconfig") + kCtrlShiftEnter, "", ""},
        {std::string("@NMShowPlugins") + kCtrlShiftEnter, "@NMShowPlugins", ""},
        {std::string("calc") + kCtrlEnter, "", "calc"},
    };
    for (bool docked : {false, true}) {
        Start({"recording_engine.dll", docked});
        for (const Case& row : cases) {
            Press(box_, row.keys);
            EXPECT_EQ(EngineGot(), row.engine) << row.keys;
            EXPECT_EQ(Field(), row.field) << row.keys;
            Press(box_, {kEscape});
        }
        Stop();
        EXPECT_EQ(HistoryFile(), "notepad C:\\x.txt\r\n.reconfig\r\n@NMShowPlugins\r\n");
    }
    Start({"foreign_engine.dll", false});
    testsupport::ModalDriver closer;
    Press(box_, std::string("notepad") + kCtrlShiftEnter);
    EXPECT_EQ(closer.Seen().size(), 1u);
    EXPECT_EQ(Field(), "notepad");
    Stop();
    Start({"recording_engine.dll", false}, "torvex.elevate: false\n");
    Press(box_, std::string("notepad") + kCtrlShiftEnter);
    EXPECT_EQ(EngineGot(), "") << "switched off, as before: nothing runs";
}

long FormatLeft(HWND box) {
    RECT format = {};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    return format.left;
}

// Ctrl+R searches the history from the newest line, case ignored; the prompt before the text
// shows that it searches.
TEST_F(Features, CtrlRSearchesTheHistory) {
    const std::pair<std::string, std::pair<const char*, const char*>> cases[] = {
        {{kCtrlR, 'n', 'o', 't', 'e'}, {"Notepad b.txt", ""}},
        {std::string{kCtrlR} + "note" + kCtrlR, {"notepad a.txt", ""}},
        {std::string{kCtrlR} + "note" + kCtrlR + kCtrlR, {"note", ""}},  // nothing older
        {std::string{kCtrlR} + "note" + kCtrlR + kCtrlR + kBackspace, {"Notepad b.txt", ""}},
        {std::string{kCtrlR} + "calc" + kEnter, {"", "calc"}},
        {std::string{kCtrlR} + "zzz" + kEnter, {"zzz", ""}},  // nothing matched: nothing runs
        {std::string("xyz") + kCtrlR + "calc" + kEscape, {"xyz", ""}},
        {std::string{kCtrlR} + "calc" + kRight + "x", {"calcx", ""}},
        {std::string{kAltGrR} + "x" + kEnter, {"", "®x"}},  // no search: the line runs
    };
    // Characters whose key types nothing by itself: an input method's (VK_PROCESSKEY), Unicode
    // input's (VK_PACKET), the keypad's; Caps Lock between. They go on with the search.
    using Keyed = std::vector<std::pair<WPARAM, wchar_t>>;
    const std::pair<Keyed, const char*> keyed[] = {
        {{{VK_PROCESSKEY, L'日'}, {VK_PROCESSKEY, L'本'}}, "日本 go"},
        {{{VK_PACKET, L'é'}, {VK_PACKET, L't'}}, "été x"},
        {{{VK_NUMPAD4, L'4'}, {VK_CAPITAL, 0}, {VK_NUMPAD2, L'2'}}, "line 42"},
    };
    for (bool docked : {false, true}) {
        Start({"recording_engine.dll", docked});
        for (const char* line : {"dir C:\\Win", "line 42", "été x", "日本 go", "notepad a.txt",
                                 "calc", "Notepad b.txt"}) {
            Run(line);
        }
        EngineGot();
        const long plainLeft = FormatLeft(box_);
        for (const auto& [keys, expected] : cases) {
            Press(box_, keys);
            EXPECT_EQ(Field(), expected.first) << keys;
            EXPECT_EQ(EngineGot(), expected.second) << keys;
            Press(box_, {kEscape, kEscape});
        }
        for (const auto& [keys, expected] : keyed) {
            Press(box_, {kCtrlR});
            for (auto [key, character] : keys) {
                testsupport::KeyDown(box_, key);
                if (character != 0) SendMessageW(box_, WM_CHAR, character, 1);
                testsupport::KeyUp(box_, key);
            }
            EXPECT_EQ(Field(), expected);
            Press(box_, {kEscape, kEscape});
        }
        // Tab edits the line found: the search ends, and what Tab made stays.
        Press(box_, std::string{kCtrlR} + "dir\t");
        const std::string completed = Field();
        EXPECT_NE(completed, "dir C:\\Win");
        Press(box_, "x");
        EXPECT_EQ(Field(), completed + "x");
        Press(box_, {kEscape, kEscape});
        Press(box_, std::string{kCtrlR} + "calc");
        EXPECT_GT(FormatLeft(box_), plainLeft) << "a prompt stands before the text";
        Press(box_, {kRight});
        EXPECT_EQ(FormatLeft(box_), plainLeft);
        Stop();
    }
    Start({"recording_engine.dll", false}, "torvex.historySearch: false\n");
    Run("calc");
    Press(box_, std::string{kCtrlR} + "ca");
    EXPECT_EQ(Field().substr(Field().size() - 2), "ca") << "switched off: no search";
}

// Shift+Delete on a line recalled and unchanged removes it from the list and from history.txt,
// every other line kept in its order and encoding; the field shows the next older line.
TEST_F(Features, ShiftDeleteRemovesARecalledLine) {
    const std::string before = "caf\xE9\r\nb\xC3\xA9\r\nkeep\r\ndel me\r\n";
    struct Case {
        std::string keys, field, file;
        const char* settings;
    };
    const Case cases[] = {
        {{kUp, kShiftDelete}, "keep", "caf\xE9\r\nb\xC3\xA9\r\nkeep\r\n", ""},
        {{kUp, kShiftDelete, kUp, kShiftDelete}, "café", "caf\xE9\r\nkeep\r\n", ""},
        // Changed since, or switched off: the Edit's own Shift+Delete (the character before).
        {{kUp, 'x', kShiftDelete}, "del me", before, ""},
        {{kUp, kShiftDelete}, "del m", before, "torvex.historyDelete: false\n"},
        {std::string{kUp, kEnter} + "del me" + kShiftDelete, "del m", before, ""},  // typed
        {std::string("keep") + kEnd + kShiftDelete, "kee", before, ""},             // nothing taken
        {{'a', kEnter, 'b', kEnter, kUp, kShiftDelete},
         "a",
         before,
         "torvex.history.file: false\n"},
    };
    for (const Case& row : cases) {
        std::ofstream(InPlugin("history.txt"), std::ios::binary) << before;
        Start({"recording_engine.dll", false}, row.settings);
        Press(box_, row.keys);
        EXPECT_EQ(Field(), row.field) << row.settings;
        Stop();
        EXPECT_EQ(HistoryFile(), row.file);
    }
    // A line the file holds twice leaves the list as it leaves the file, every copy: run again,
    // it is written again.
    std::ofstream(InPlugin("history.txt"), std::ios::binary) << "dup\r\nother\r\ndup\r\n";
    Start({"recording_engine.dll", true});
    Press(box_, {kUp, kShiftDelete});
    EXPECT_EQ(Field(), "other");
    Press(box_, std::string{kEscape} + "dup" + kEnter);
    Stop();
    EXPECT_EQ(HistoryFile(), "other\r\ndup\r\n");
    // A file that cannot be replaced keeps the line; the list lets it go, and nobody is asked.
    // (Held from the start, it could not be appended to either: the history would be kept in
    // %APPDATA% instead.)
    std::ofstream(InPlugin("history.txt"), std::ios::binary) << before;
    testsupport::ModalDriver closer;
    Start({"recording_engine.dll", true});
    HANDLE held = CreateFileA(InPlugin("history.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    Press(box_, {kUp, kShiftDelete, kEscape, kUp});
    EXPECT_EQ(Field(), "keep");
    CloseHandle(held);
    EXPECT_EQ(HistoryFile(), before);
    EXPECT_TRUE(closer.Seen().empty());
    Stop();

    // Where history.txt can neither be appended to nor made (a folder stands in its place), the
    // history kept in %APPDATA% takes the removal and ".clear", and is read at the next start.
    DeleteFileA(InPlugin("history.txt").c_str());
    CreateDirectoryA(InPlugin("history.txt").c_str(), nullptr);
    const std::string fallback = testsupport::FallbackHistoryPath();
    for (bool docked : {false, true}) {
        Start({"recording_engine.dll", docked});
        Press(box_, std::string("a") + kEnter + "b" + kEnter + kUp + kShiftDelete);
        Stop();
        EXPECT_EQ(testsupport::FileBytes(fallback), "a\r\n");
        Start({"recording_engine.dll", docked});
        Press(box_, {kUp});
        EXPECT_EQ(Field(), "a") << "read at the next start";
        Press(box_, std::string{kEscape} + ".clear" + kEnter);
        Stop();
        EXPECT_EQ(testsupport::FileBytes(fallback), ".clear\r\n");
        DeleteFileA(fallback.c_str());
    }
    RemoveDirectoryA(InPlugin("history.txt").c_str());
}

// The rest of the best held line is suggested after the typed text and taken with End or Right
// (Ctrl+Right: its next word); every other key does what it did. The best line starts with the
// typed text exactly, else ignoring case; of several, the one run most, and most lately
// (zoxide's frecency), the newer of equal ones; never one whose program is gone from a local
// drive. Each row: history.txt (oldest first), the counts file, the keys, the field after them.
TEST_F(Features, SuggestionsAreTakenByTheirKeysAndRankedByUse) {
    const std::string now = std::to_string(std::time(nullptr));
    const std::string monthAgo = std::to_string(std::time(nullptr) - 30 * 24 * 3600);
    const std::string gone = plugin_folder_.path() + "gone\\x.exe run";  // a folder never made
    const std::string here = plugin_folder_.path() + "tool.txt";
    std::ofstream(here) << "x";
    // An unquoted program whose path holds a blank, there; beside a newer one that is gone.
    const std::string spacedFolder = plugin_folder_.path() + "Program Files";
    CreateDirectoryA(spacedFolder.c_str(), nullptr);
    std::ofstream(spacedFolder + "\\app.exe") << "x";
    const std::string spaced = spacedFolder + "\\app.exe -x";
    const std::string spacedGone = spacedFolder + "\\gone\\app.exe -y";
    std::string newer;  // 512 lines run after "often cmd": it has left the list
    for (int line = 0; line < 512; ++line) newer += "line " + std::to_string(line) + "\n";
    struct Case {
        std::string history, counts, keys, field;
        const char* settings;
        bool learnt = false;  // the worker learns which programs are gone, while the box runs
    };
    const Case cases[] = {
        {"notepad a.txt\n", "", {'n', 'o', 't', 'e', kEnd}, "notepad a.txt", ""},
        {"notepad a.txt\n", "", {'n', 'o', 't', 'e', kRight}, "notepad a.txt", ""},
        {"git commit -m x\n", "", {'g', 'i', 't', kCtrlRight}, "git commit", ""},
        {"git commit -m x\n", "", {'g', 'i', 't', kCtrlRight, kCtrlRight}, "git commit -m", ""},
        {"Notepad X\n", "", {'n', 'o', 't', 'e', kEnd}, "Notepad X", ""},  // the held case
        {"note two\nNotepad X\n", "", {'n', 'o', 't', 'e', kEnd}, "note two", ""},
        {"notepad b\nnotepad a\n", "5\t" + now + "\tnotepad b\n", "notepad " + std::string{kEnd},
         "notepad b", ""},
        {"notepad b\nnotepad a\n", "1\t" + now + "\tnotepad b\n1\t" + now + "\tnotepad a\n",
         "notepad " + std::string{kEnd}, "notepad a", ""},  // equal: the newer
        {"notepad b\nnotepad a\n", "3\t" + monthAgo + "\tnotepad b\n1\t" + now + "\tnotepad a\n",
         "notepad " + std::string{kEnd}, "notepad a", ""},  // 3 x 1/4 against 1 x 4
        {"notepad b\nnotepad a\n",  // damaged: skipped lines, a huge count, a future time
         "garbage\nx\t1\tnotepad a\n99999999999\t99999999999999\tnotepad b\n7\t1\t\xFF\n",
         "notepad " + std::string{kEnd}, "notepad b", ""},
        {here + "\n" + gone + "\n", "", here.substr(0, 3) + kEnd, here, "", true},  // gone
        {"notepad\n", "", "notepad" + std::string{kEnd}, "notepad", ""},            // only itself
        {"notepad long\nnote\n", "", {'n', 'o', 't', 'e', kEnd}, "notepad long", ""},  // longer
        {"notepad a.txt\n", "", {'n', 'o', 't', 'e', kLeft, kLeft, kCtrlEnd, 'x'}, "notex", ""},
        {"notepad a.txt\n", "", {'n', 'o', 't', 'e', kShiftHome, kEnd}, "note", ""},  // selected
        {"notepad a.txt\n",
         "",
         {'n', 'o', 't', 'e', kLeft, kLeft, kLeft, kLeft, kShiftEnd, kEnd},
         "note",
         ""},
        {"notepad a.txt\n", "", {'n', 'o', 't', 'e', kShiftHome, kRight}, "note", ""},
        {spaced + "\n" + spacedGone + "\n", "", spaced.substr(0, 3) + kEnd, spaced, "", true},
        {"notepad a.txt\n", "", {'n', 'o', 't', 'e', kShiftEnd}, "note", ""},
        {"notepad a.txt\n", "", {'n', 'o', 't', 'e', kLeft, kEnd}, "note", ""},
        {"notepad a.txt\n", "", {'n', 'o', 't', 'e', kEscape}, "", ""},
        {"zzqx y\n", "", {'z', 'z', 'q', kTab}, "zzq", ""},
        {"notepad b\nother\n", "9\t" + now + "\tnotepad b\n", {'n', 'o', kUp}, "other", ""},
        {"notes more\nnotes\n", "", std::string{kCtrlR} + "notes" + kRight, "notes", ""},
        {"notepad a.txt\n", "", {'n', 'o', 't', 'e', kEnd}, "note", "torvex.suggest: false\n"},
        {"notepad a.txt\n", "", {'n', 'o', 't', 'e', kEnd, kCtrlZ}, "note", ""},  // one undo
        {"notepad a.txt\n", "", {'N', 'O', 'T', 'E', kEnd, kCtrlZ}, "NOTE", ""},
        {"often cmd\n" + newer, "50\t" + now + "\toften cmd\n", "oft" + std::string{kEnd},
         "often cmd", ""},  // counted, no longer held
    };
    for (bool docked : {false, true}) {
        SCOPED_TRACE(docked ? "docked" : "floating");
        for (const Case& row : cases) {
            std::ofstream(InPlugin("history.txt"), std::ios::binary) << row.history;
            std::ofstream(InPlugin("history.counts.txt"), std::ios::binary) << row.counts;
            Start({"recording_engine.dll", docked}, row.settings);
            SetFocus(box_);
            Press(box_, row.keys);
            for (const ULONGLONG start = GetTickCount64();
                 row.learnt && Field() != row.field && GetTickCount64() - start < 20000;) {
                Press(box_, {kEscape});
                shell_.Pump();  // the worker's answer
                Sleep(10);
                Press(box_, row.keys);
            }
            EXPECT_EQ(Field(), row.field) << row.history << row.counts;
            Stop();
            EXPECT_EQ(HistoryFile(), row.history) << "history.txt is the same bytes";
        }
    }
    // Drawn, never typed: the line runs as typed. Each run is a use, kept beside history.txt; the
    // ranking survives a restart; Shift+Delete forgets a line's uses and ".clear" all of them.
    DeleteFileA(InPlugin("history.txt").c_str());
    DeleteFileA(InPlugin("history.counts.txt").c_str());
    Start({"recording_engine.dll", true});
    SetFocus(box_);
    for (const char* line : {"notepad b", "notepad b", "notepad a", "note"}) Run(line);
    EXPECT_EQ(EngineGot(), "notepad b|notepad b|notepad a|note");
    Stop();
    const std::string counts = testsupport::FileBytes(InPlugin("history.counts.txt"));
    EXPECT_NE(counts.find("\n2\t"), std::string::npos) << counts;
    Start({"recording_engine.dll", true});
    SetFocus(box_);
    Press(box_, std::string("notepad ") + kEnd);
    EXPECT_EQ(Field(), "notepad b") << "ranked as before the restart";
    Press(box_, {kShiftDelete});
    Stop();  // written a few seconds after the last change, or at stop
    EXPECT_EQ(testsupport::FileBytes(InPlugin("history.counts.txt")).find("notepad b"),
              std::string::npos);
    Start({"recording_engine.dll", true});
    Press(box_, std::string{kEscape} + ".clear" + kEnter);
    Stop();
    EXPECT_EQ(testsupport::FileBytes(InPlugin("history.counts.txt")).find("notepad"),
              std::string::npos);
    DeleteFileA(here.c_str());
    DeleteFileA((spacedFolder + "\\app.exe").c_str());
    RemoveDirectoryA(spacedFolder.c_str());
}

// The counts file is read again before each write, and only this box's changes are laid on it:
// nothing counted elsewhere is lost, nothing erased elsewhere comes back, and a file that could
// not be read is never written over. Each row: the counts file at start, what happens to it while
// the box runs "c" and ends, and what the file must hold after it (and must not).
TEST_F(Features, UseCountsAreNeverLostNorKeptAgainstTheUsersWill) {
    const std::string now = std::to_string(std::time(nullptr));
    const std::string counts = InPlugin("history.counts.txt");
    const std::string seven = "7\t" + now + "\ta\n";
    struct Case {
        const char* name;
        std::string start;                          // the counts file
        std::function<HANDLE()> before, meanwhile;  // the box's start; each: a handle to close
        const char* settings;
        std::vector<std::string> holds, lacks;
    };
    auto none = [] { return INVALID_HANDLE_VALUE; };
    auto holdHistory = [&] {
        return CreateFileA(InPlugin("history.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           0, nullptr);
    };
    bool docked = false;
    auto switchedOn = [&] {  // ".reconfig" with the history file switched on
        shell_folder_.Write("torvex.rc", docked ? "torvex.inslit: true\n" : "");
        SendMessageA(box_, shell::kReconfigure, 0, 0);
        return INVALID_HANDLE_VALUE;
    };
    auto otherBox = [&] {  // ran "a" four times more, and Shift+Deleted "b"
        std::ofstream(counts, std::ios::binary) << seven;
        return INVALID_HANDLE_VALUE;
    };
    const Case cases[] = {
        {"held history",
         "5\t" + now + "\ta\n",
         holdHistory,
         none,
         "",
         {"5\t" + now + "\ta\n", "\tc\n"},
         {}},
        {"two boxes",
         "3\t" + now + "\ta\n2\t" + now + "\tb\n",
         none,
         otherBox,
         "",
         {seven, "\tc\n"},
         {"\tb\n"}},
        {"switched off", "", none, none, "torvex.suggest: false\n", {}, {"\tc\n", "#"}},
        {"history switched on later",
         "5\t" + now + "\ta\n",
         none,
         switchedOn,
         "torvex.history.file: false\n",
         {"5\t" + now + "\ta\n", "\tc\n"},
         {}},
    };
    for (bool inSlit : {false, true}) {
        docked = inSlit;
        for (const Case& row : cases) {
            SCOPED_TRACE(std::string(row.name) + (docked ? ", docked" : ", floating"));
            std::ofstream(InPlugin("history.txt"), std::ios::binary) << "a\nb\n";
            DeleteFileA(counts.c_str());
            if (!row.start.empty()) std::ofstream(counts, std::ios::binary) << row.start;
            HANDLE atStart = row.before();
            Start({"recording_engine.dll", docked}, row.settings);
            HANDLE meanwhile = row.meanwhile();
            Run("c");
            Stop();
            for (HANDLE handle : {atStart, meanwhile}) {
                if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
            }
            const std::string after = testsupport::FileBytes(counts);
            for (const std::string& part : row.holds)
                EXPECT_NE(after.find(part), std::string::npos) << after;
            for (const std::string& part : row.lacks)
                EXPECT_EQ(after.find(part), std::string::npos) << after;
        }
    }
    // A line run often keeps its count after 512 newer lines have pushed it out of the list.
    std::string history = "often\n";
    for (int line = 0; line < 512; ++line) history += "line " + std::to_string(line) + "\n";
    std::ofstream(InPlugin("history.txt"), std::ios::binary) << history;
    std::ofstream(counts, std::ios::binary) << "50\t" << now << "\toften\n";
    Start({"recording_engine.dll", true});
    Run("c");
    Stop();
    EXPECT_NE(testsupport::FileBytes(counts).find("50\t" + now + "\toften\n"), std::string::npos);
    // ".clear" forgets the counts, also with the history switched off, or says that it could not.
    for (const char* settings : {"", "torvex.history.file: false\n"}) {
        std::ofstream(counts, std::ios::binary) << "3\t" << now << "\ta\n";
        Start({"recording_engine.dll", false}, settings);
        Run(".clear");
        Stop();
        EXPECT_EQ(GetFileAttributesA(counts.c_str()), INVALID_FILE_ATTRIBUTES) << settings;
    }
    std::ofstream(counts, std::ios::binary) << "3\t" << now << "\ta\n";
    SetFileAttributesA(counts.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        testsupport::ModalDriver closer;
        Start({"recording_engine.dll", false});
        Run(".clear");
        std::vector<testsupport::SeenDialog> seen;
        for (const ULONGLONG start = GetTickCount64();
             seen.empty() && GetTickCount64() - start < 20000; seen = closer.Seen()) {
            shell_.Pump();  // the worker's answer
            Sleep(10);
        }
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_NE(seen[0].text.find("history.counts.txt\" could not be deleted"), std::string::npos)
            << seen[0].text;
        Stop();
    }
    SetFileAttributesA(counts.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A calculation's result goes on the clipboard and into the field on Enter, to be typed on; the
// line is recorded and nothing runs. One without a result stays; a program's name, an alias, a
// quoted line and the switch off go to the engine as before. Each row: the keys, the field, the
// clipboard (unchanged: "before"), the engine's record, history.txt.
TEST_F(Features, ACalculationIsWorkedOutOnEnterAndRunsNothing) {
    struct Case {
        std::string keys;
        const char *field, *clipboard, *engine, *history, *settings;
    };
    const Case cases[] = {
        {"2^64\r", "18446744073709551616", "18446744073709551616", "", "2^64\r\n", ""},
        {"2^64\r*2\r", "36893488147419103232", "36893488147419103232", "",
         "2^64\r\n18446744073709551616*2\r\n", ""},
        {"=1/3\r", "0.333333333333333333333333333333", "0.333333333333333333333333333333", "",
         "=1/3\r\n", ""},
        {".5+0x10\r", "16.5", "16.5", "", ".5+0x10\r\n", ""},
        {"1/0\r", "1/0", "before", "", "", ""},
        {"(1+2\r", "(1+2", "before", "", "", ""},
        {"1,002*3\r", "1,002*3", "before", "", "", ""},  // grouping: refused, never guessed
        {"7-zip\r", "", "before", "7-zip", "7-zip\r\n", ""},
        {"x64dbg\r", "", "before", "x64dbg", "x64dbg\r\n", ""},
        {"notepad 1+1.txt\r", "", "before", "notepad 1+1.txt", "notepad 1+1.txt\r\n", ""},
        {"\"1+1\"\r", "", "before", "\"1+1\"", "\"1+1\"\r\n", ""},
        {"pi -1\r", "", "before", "notepad -1", "pi -1\r\n", "torvex.alias: pi notepad {*}\n"},
        {"2^64\r", "", "before", "2^64", "2^64\r\n", "torvex.calculator: false\n"},
    };
    for (bool docked : {false, true}) {
        SCOPED_TRACE(docked ? "docked" : "floating");
        for (const Case& row : cases) {
            DeleteFileA(InPlugin("history.txt").c_str());
            ASSERT_TRUE(testsupport::SetClipboardText("before"));
            Start({"recording_engine.dll", docked}, row.settings);
            SetFocus(box_);
            Press(box_, row.keys);
            EXPECT_EQ(Field(), row.field) << row.keys;
            EXPECT_EQ(testsupport::ClipboardText(), row.clipboard) << row.keys;
            EXPECT_EQ(EngineGot(), row.engine) << row.keys;
            Stop();
            EXPECT_EQ(HistoryFile(), row.history) << row.keys;
        }
    }
    // A ".reconfig" counts for the line already in the box: switched off, or now an alias's.
    const struct {
        const char *typed, *settings, *engine;
    } reconfigured[] = {
        {"2^64", "torvex.calculator: false\n", "2^64"},
        {"pi -1", "torvex.alias: pi notepad {*}\n", "notepad -1"},
    };
    for (bool docked : {false, true}) {
        for (const auto& row : reconfigured) {
            Start({"recording_engine.dll", docked});
            Press(box_, row.typed);
            UpdateWindow(box_);  // its result drawn
            shell_folder_.Write("torvex.rc",
                                std::string(docked ? "torvex.inslit: true\n" : "") + row.settings);
            SendMessageA(box_, shell::kReconfigure, 0, 0);
            Press(box_, {kEnter});
            EXPECT_EQ(Field(), "") << row.typed;
            EXPECT_EQ(EngineGot(), row.engine) << row.typed;
            Stop();
        }
    }
    // The user's locale, as it is at the moment: "," is the decimal point where it is one, also
    // for the line already in the box: what is drawn after it, and what Enter takes.
    wchar_t before[4] = L"";
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, before, 4), 0);
    auto drawn = [&] {  // the box's pixels where the result is drawn, without the caret
        HideCaret(box_);
        InvalidateRect(box_, nullptr, TRUE);
        UpdateWindow(box_);
        testsupport::Canvas canvas;
        HDC screen = GetDC(box_);
        BitBlt(canvas.dc(), 0, 0, testsupport::Canvas::kWidth, testsupport::Canvas::kHeight, screen,
               0, 0, SRCCOPY);
        ReleaseDC(box_, screen);
        ShowCaret(box_);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < testsupport::Canvas::kHeight; ++y) {
            for (int x = 0; x < testsupport::Canvas::kWidth; ++x) pixels.push_back(canvas.At(x, y));
        }
        return pixels;
    };
    for (bool docked : {false, true}) {
        SCOPED_TRACE(docked ? "docked" : "floating");
        Start({"recording_engine.dll", docked});
        SetFocus(box_);
        Press(box_, "1,5+1");
        const std::vector<COLORREF> grouped = drawn();  // "." the decimal point: refused
        ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, L","));
        const std::vector<COLORREF> changed = drawn();
        Press(box_, {kEnter});
        const std::string field = Field();
        Press(box_, std::string{kEscape} + "1,5+1");
        const std::vector<COLORREF> typedAfter = drawn();
        EXPECT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, before)) << "given back";
        EXPECT_EQ(field, "2,5");
        EXPECT_TRUE(changed == typedAfter) << "drawn as when typed after the change";
        EXPECT_FALSE(changed == grouped);
        EXPECT_EQ(EngineGot(), "");
        Stop();
    }
}

// The Start menu that this test has of its own (TestMain.cpp), with its trailing backslash.
std::wstring StartMenuFolder() {
    wchar_t appData[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    return std::wstring(appData) + L"\\Start Menu\\";
}

// Shortcuts to argdump.exe, each with arguments of its own, started in the plug-in's folder.
class ProgramsByName : public Features {
  protected:
    void SetUp() override {
        Features::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t argdump[MAX_PATH] = L"";
        GetFullPathNameW(L"helper dir\\argdump.exe", MAX_PATH, argdump, nullptr);
        argdump_ = argdump;
        work_ = testsupport::Wide(plugin_folder_.path());
        work_.pop_back();
        SetEnvironmentVariableA("TORVEX_ARGDUMP_FILE", output_.c_str());
        ASSERT_TRUE(Shortcut(L"Torvex Probe Tool", L"-a \"b c\""));
        ASSERT_TRUE(Shortcut(L"Uninstall Torvex Probe Tool", L"uninstall"));
        CreateDirectoryW((StartMenuFolder() + L"Tools").c_str(), nullptr);
        ASSERT_TRUE(Shortcut(L"Tools\\Torvex \u00C9cran", L"screen"));
        ASSERT_TRUE(Shortcut(L"cmd", L"not me"));  // a name that PATH finds runs as ever
    }
    void TearDown() override {
        Features::TearDown();
        CoUninitialize();
    }
    bool Shortcut(const std::wstring& name, const std::wstring& arguments) {
        return testsupport::MakeShortcut(StartMenuFolder() + name + L".lnk", argdump_, arguments,
                                         work_);
    }
    // Until the box has the list: the letters suggest what `field` holds after End.
    void WaitForProgram(const std::string& letters, const std::string& field) {
        for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < 20000;) {
            SetFocus(box_);
            Press(box_, std::string{kEscape} + letters + kEnd);
            if (Field() == field) break;
            shell_.Pump();
            Sleep(10);
        }
        EXPECT_EQ(Field(), field) << letters;
        Press(box_, {kEscape});
    }
    std::vector<std::string> Started() { return testsupport::WaitForArgdump(output_); }

    std::wstring argdump_, work_;
    const std::string output_ = plugin_folder_.path() + "argdump.out";
};

// What the box asked ShellExecuteEx to run as administrator, told apart from any other call; the
// program is not started, as the system would ask the user first.
std::wstring elevatedFile, elevatedParameters;
BOOL WINAPI RecordElevated(SHELLEXECUTEINFOW* execute) {
    elevatedFile = execute->lpFile != nullptr ? execute->lpFile : L"";
    elevatedParameters = execute->lpParameters != nullptr ? execute->lpParameters : L"";
    if (execute->lpVerb != nullptr && std::wstring(execute->lpVerb) == L"runas") return TRUE;
    elevatedFile = L"(not as administrator)";
    return FALSE;
}

// Ctrl+Shift+Enter: the shortcut itself, with the words after its name, as administrator.
TEST_F(ProgramsByName, CtrlShiftEnterStartsAProgramAsAdministrator) {
    testsupport::ModalDriver closer;  // a refusal would tell the user
    for (bool docked : {false, true}) {
        Start({"recording_engine.dll", docked});
        SetFocus(box_);
        WaitForProgram("tpt", "Torvex Probe Tool");
        testsupport::ImportHook hook = {"ShellExecuteExW", reinterpret_cast<void*>(RecordElevated),
                                        nullptr};
        ASSERT_EQ(testsupport::PatchImports(module_, "shell32.dll", &hook, 1, true), 1);
        elevatedFile.clear();
        Press(box_, "tpt" + std::string{kEnd} + " now" + kCtrlShiftEnter);
        testsupport::PatchImports(module_, "shell32.dll", &hook, 1, false);
        EXPECT_EQ(elevatedFile, StartMenuFolder() + L"Torvex Probe Tool.lnk");
        EXPECT_EQ(elevatedParameters, L"now");
        EXPECT_EQ(Field(), "");
        shell_.Pump();
        EXPECT_EQ(EngineGot(), "") << "never the engine";
        Stop();
    }
    EXPECT_TRUE(closer.Seen().empty());
}

// A few letters, End, Enter: each row with the list in the box, then its settings read again.
TEST_F(ProgramsByName, AFewLettersSuggestAProgramThatEnterStarts) {
    const std::string work = testsupport::Utf8(work_);
    struct Case {
        std::string history, keys, field, settings = "";
        std::vector<std::string> started = {};  // what argdump.exe got, with its folder first
        std::string engine = "";
    };
    const Case cases[] = {
        {"", "tpt" + std::string{kEnd}, "Torvex Probe Tool"},  // initials
        {"", "probe" + std::string{kEnd}, "Torvex Probe Tool"},
        {"", "torvex p" + std::string{kEnd}, "Torvex Probe Tool"},  // the uninstaller after it
        {"", "uninst" + std::string{kEnd}, "Uninstall Torvex Probe Tool"},
        {"", "ECR" + std::string{kEnd},
         "Torvex \xC3\x89"
         "cran"},  // accent-free, in a subfolder
        {"", "tor" + std::string{kCtrlRight}, "Torvex"},
        {"torvex probe history\n", "torvex p" + std::string{kEnd}, "torvex probe history"},
        {"", "tpt" + std::string{kEnd}, "tpt", "torvex.programs: false\n"},
        {"", "tpt" + std::string{kEnd}, "tpt", "torvex.suggest: false\n"},
        {"", "tpt" + std::string{kEnd} + kEnter, "", "", {work, "-a", "b c"}},
        {"",
         "torvex probe tool x \"y z\"" + std::string{kEnter},
         "",
         "",
         {work, "-a", "b c", "x", "y z"}},
        {"",
         "TORVEX PROBE TOOL" + std::string{kEnter},
         "",
         "torvex.suggest: false\n",
         {work, "-a", "b c"}},
        {"", "cmd" + std::string{kEnter}, "", "", {}, "cmd"},
        {"", "torvex probe" + std::string{kEnter}, "", "", {}, "torvex probe"},
        {"",
         "torvex probe tool" + std::string{kEnter},
         "",
         "torvex.programs: false\n",
         {},
         "torvex probe tool"},
    };
    for (bool docked : {false, true}) {
        SCOPED_TRACE(docked ? "docked" : "floating");
        for (const Case& row : cases) {
            SCOPED_TRACE(row.keys);
            std::ofstream(InPlugin("history.txt"), std::ios::binary) << row.history;
            DeleteFileA(InPlugin("history.counts.txt").c_str());
            Start({"recording_engine.dll", docked});
            SetFocus(box_);
            WaitForProgram("tpt", "Torvex Probe Tool");
            if (!row.settings.empty()) {
                shell_folder_.Write("torvex.rc",
                                    (docked ? "torvex.inslit: true\n" : "") + row.settings);
                SendMessageA(box_, shell::kReconfigure, 0, 0);
            }
            Press(box_, row.keys);
            EXPECT_EQ(Field(), row.field);
            if (!row.started.empty()) {
                EXPECT_EQ(Started(), row.started);
            }
            shell_.Pump();
            EXPECT_EQ(EngineGot(), row.engine);
            Stop();
            const std::string typed = row.keys.substr(0, row.keys.find_first_of("\x05\r"));
            const bool taken = row.keys.find(kEnd) != std::string::npos;
            if (row.field.empty()) {
                EXPECT_EQ(HistoryFile(),
                          row.history + (taken ? "Torvex Probe Tool" : typed) + "\r\n");
            }
        }
    }
}

// The list follows the Start menu while the box runs; one pick is learnt, kept with the use counts
// across a restart and forgotten by ".clear"; the entry run more comes first.
TEST_F(ProgramsByName, TheListFollowsTheMenuAndLearnsFromOnePick) {
    Start({"recording_engine.dll", true});
    SetFocus(box_);
    WaitForProgram("tpt", "Torvex Probe Tool");
    ASSERT_TRUE(Shortcut(L"Tools\\Torvex Pad", L"pad"));  // added while the box runs
    WaitForProgram("torvex pa", "Torvex Pad");
    WaitForProgram("torvex", "Torvex Pad");  // the shorter name
    Press(box_, "tpt" + std::string{kEnd} + kEnter);
    Started();
    Press(box_, "torvex" + std::string{kEnd});
    EXPECT_EQ(Field(), "Torvex Probe Tool") << "run more";
    Press(box_, {kEscape});
    ASSERT_TRUE(Shortcut(L"tpt", L"newer"));  // a whole name, which would come first
    WaitForProgram("tp", "tpt");
    Stop();
    Start({"recording_engine.dll", false});
    SetFocus(box_);
    WaitForProgram("torvex pa", "Torvex Pad");
    Press(box_, "tpt" + std::string{kEnd});
    EXPECT_EQ(Field(), "Torvex Probe Tool") << "learnt from one pick, across a restart";
    Press(box_, std::string{kEscape} + ".clear" + kEnter + kEscape + "torvex" + kEnd);
    EXPECT_EQ(Field(), "Torvex Pad") << "forgotten";
}

}  // namespace
