// Tab completion, Escape and Ctrl+Backspace in the real box, with real key messages, over a
// folder tree of its own (blanks, folders, mixed case), a PATH of its own and an App Paths key.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "host/ShellMessages.h"
#include "tests/support/PluginBox.h"
#include "tests/support/Text.h"

namespace {

const char kAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tabapp.exe";
// Registered by a 64-bit installer: in the 64-bit view only, which a 32-bit process does not read.
const char kNativeAppPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\wideapp.exe";
// The tree, in the order it is made (a trailing backslash makes a folder).
const char* const kTree[] = {"",
                             "profile\\",
                             "profile\\Documents\\",
                             "profile\\Downloads\\",
                             "profile\\My Folder\\",
                             "profile\\My Folder\\sub dir\\",
                             "profile\\My Folder\\Notes.txt",
                             "profile\\My Folder\\notes2.TXT",
                             "profile\\apple.txt",
                             "profile\\zz_b.txt",
                             "profile\\zzb.txt",
                             "profile\\Мои документы\\",
                             "profile\\日本 語\\",
                             "profile\\😀 smile.txt",
                             "bin\\",
                             "bin\\tabprog.exe",
                             "bin\\tabtool.com",
                             "bin\\tabtext.txt",
                             "bin\\tpy3.12.exe"};

std::string Slashed(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

class LineKeysTest : public testsupport::PluginBox {
  protected:
    void SetUp() override {
        PluginBox::SetUp();
        // A run under another code page says which (a double-byte one: 932).
        if (const char* page = std::getenv("TORVEX_CODE_PAGE")) {
            ASSERT_EQ(GetACP(), static_cast<UINT>(std::atoi(page)));
        }
        for (std::string path : kTree) {
            std::wstring name = testsupport::Wide(tree_ + path);
            if (path.empty() || path.back() == '\\') {
                CreateDirectoryW(name.c_str(), nullptr);
            } else {
                std::ofstream(std::filesystem::path(name)) << "x";
            }
        }
        for (auto [name, value] : {std::pair<const char*, std::string>{"PATH", tree_ + "bin"},
                                   {"USERPROFILE", tree_ + "profile"},
                                   {"TORVEX_TAB", tree_ + "profile"},
                                   {"TORVEX_TAB_MY", tree_ + "profile\\My Folder"},
                                   {"PATHEXT", ".COM;.EXE;.BAT"}}) {
            char old[4096] = "";
            GetEnvironmentVariableA(name, old, sizeof(old));
            saved_.emplace_back(name, old);
            SetEnvironmentVariableA(name, value.c_str());
        }
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, kAppPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr);
        RegCloseKey(key);
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kNativeAppPath, 0, nullptr, 0,
                                  KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void TearDown() override {
        PluginBox::TearDown();
        RegDeleteKeyA(HKEY_CURRENT_USER, kAppPath);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kNativeAppPath, KEY_WOW64_64KEY, 0);
        for (auto& [name, value] : saved_) SetEnvironmentVariableA(name.c_str(), value.c_str());
        for (auto path = std::rbegin(kTree); path != std::rend(kTree); ++path) {
            DeleteFileW(testsupport::Wide(tree_ + *path).c_str());
            RemoveDirectoryW(testsupport::Wide(tree_ + *path).c_str());
        }
    }
    // Keys as TranslateMessage delivers them: T Tab, E Escape, B Ctrl+Backspace, R Right.
    void Press(const std::string& keys) {
        for (char key : keys) {
            WPARAM code = key == 'T'   ? VK_TAB
                          : key == 'E' ? VK_ESCAPE
                          : key == 'B' ? VK_BACK
                                       : VK_RIGHT;
            Send(WM_KEYDOWN, code);
            const WPARAM character = key == 'T' ? '\t' : key == 'E' ? 27 : key == 'B' ? 127 : 0;
            if (character != 0) Send(WM_CHAR, character);
        }
    }
    DWORD Caret() {
        DWORD start = 0, end = 0;
        Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return end;
    }

    std::string tree_ = folder_.path() + "tab\\";
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(LineKeysTest, TabCompletesCyclesAndQuotesEscapeClearsCtrlBackspaceDeletesAWord) {
    Start();
    const std::string profile = tree_ + "profile\\";
    struct Case {
        std::string typed;
        int caret;  // -1: at the end
        const char* keys;
        std::string expected;
        int expectedCaret;  // -1: at the end
    };
    const Case cases[] = {
        {"Do", -1, "T", "Documents\\", -1},        // relative to the profile folder
        {"Do", -1, "TT", "Downloads\\", -1},       // in case-insensitive order
        {"do", -1, "TTT", "Documents\\", -1},      // and round again
        {"Do", -1, "TRT", "Documents\\", -1},      // another key ends the cycle: inside, nothing
        {"my", -1, "T", "\"My Folder\\\\\"", -1},  // quoted, the backslash kept from the quote
        {"my", -1, "TT", "\"My Folder\\Notes.txt\"", -1},  // a lone folder: Tab goes inside
        {"my", -1, "TTT", "\"My Folder\\notes2.TXT\"", -1},
        {"my", -1, "TTTT", "\"My Folder\\sub dir\\\\\"", -1},
        {"x \"My Fo", -1, "T", "x \"My Folder\\\\\"", -1},  // a word in quotes is one word
        {"tab", -1, "T", "tabapp.exe", -1},                 // App Paths
        {"wide", -1, "T", "wideapp.exe", -1},               // in its 64-bit view too
        {"tab", -1, "TT", "tabprog.exe", -1},               // PATH with PATHEXT
        {"tab", -1, "TTT", "tabtool.com", -1},              // (tabtext.txt is no program)
        {"notepad ta", -1, "T", "notepad ta", -1},          // not the first word: no programs
        {"%TORVEX_TAB%\\ap", -1, "T", "%TORVEX_TAB%\\apple.txt", -1},
        {"x %torvex_tab", -1, "T", "x %TORVEX_TAB%", -1},          // a variable's name
        {"x %torvex_tab", -1, "TT", "x \"%TORVEX_TAB_MY%\"", -1},  // standing for blanks
        {"x %TORVEX_TAB_MY%\\no", -1, "T", "x \"%TORVEX_TAB_MY%\\Notes.txt\"", -1},  // blanks
        {profile + "Docu", -1, "T", profile + "Documents\\", -1},
        {Slashed(profile) + "Docu", -1, "T", Slashed(profile) + "Documents\\", -1},
        {"tpy", -1, "T", "tpy3.12.exe", -1},  // the extension is after the last dot
        {std::string(4090, 'x') + " Do", -1, "T", std::string(4090, 'x') + " Do", -1},  // full
        {"zzz", -1, "T", "zzz", -1},
        {"zz", -1, "T", "zz_b.txt", -1},  // "_" before letters, case folded to lower
        {"x 50%", -1, "T", "x 50%", -1},  // no variable's name begun
        {"Do rest", 2, "T", "Documents\\ rest", 10},
        {"some line", -1, "E", "", -1},
        {"notepad C:\\Users\\me", -1, "B", "notepad C:\\Users\\", -1},
        {"notepad C:\\Users\\me", -1, "BB", "notepad C:\\", -1},
        {"notepad C:\\Users\\me", -1, "BBBB", "", -1},
        // Names in any script, with a blank (quoted), or outside the Basic Multilingual Plane.
        {"Мои", -1, "T", "\"Мои документы\\\\\"", -1},
        {"x 日本", -1, "T", "x \"日本 語\\\\\"", -1},
        {"😀", -1, "T", "\"😀 smile.txt\"", -1},
        {"x Мои\\日本語", -1, "B", "x Мои\\", -1},  // by characters
        {"表 abc", -1, "B", "表 ", -1},
        {"日本 Do", -1, "T", "日本 Documents\\", -1},
        {"C:\\ソフト", -1, "B", "C:\\", -1},
    };
    for (const Case& row : cases) {
        SetWindowTextW(box(), testsupport::Wide(row.typed).c_str());
        int length = static_cast<int>(testsupport::Wide(row.typed).size());  // in UTF-16 units
        int caret = row.caret < 0 ? length : row.caret;
        Send(EM_SETSEL, caret, caret);
        Press(row.keys);
        EXPECT_EQ(Field(), row.expected) << row.typed << " " << row.keys;
        int expectedLength = static_cast<int>(testsupport::Wide(row.expected).size());
        int expectedCaret = row.expectedCaret < 0 ? expectedLength : row.expectedCaret;
        EXPECT_EQ(Caret(), static_cast<DWORD>(expectedCaret)) << row.typed << " " << row.keys;
        EXPECT_FALSE(WasPassedOn(WM_CHAR, '\t') || WasPassedOn(WM_CHAR, 27) ||
                     WasPassedOn(WM_CHAR, 127));
    }

    // Escape also starts browsing afresh: the next Up shows the newest line again.
    Run("older");
    Run("newest");
    Press("");
    Send(WM_KEYDOWN, VK_UP);
    Send(WM_KEYDOWN, VK_UP);
    Press("E");
    Send(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(Field(), "newest");
}

// Each switched off in torvex.rc (and read again on .reconfig), the keys do what they did before
// and the history lives in memory only.
TEST_F(LineKeysTest, EachAdditionSwitchedOffGivesBackWhatWasThereBefore) {
    std::ofstream(historyPath_, std::ios::binary) << "from the file\r\n";
    Write("torvex.rc",
          "torvex.tabCompletion: false\ntorvex.escapeClears: false\ntorvex.wordDelete: false\n"
          "torvex.history.file: false\n");
    Start();
    EXPECT_EQ(plugin_->historyCount, 0) << "history.txt is not read";
    SetWindowTextA(box(), "Do");
    Send(EM_SETSEL, 2, 2);
    Press("TEB");
    // The Edit class has them all: a tab goes into the line, nothing is deleted (and Windows
    // puts its control character in for Ctrl+Backspace, where Wine leaves it out).
    EXPECT_EQ(Field().substr(0, 3), "Do\t");
    for (WPARAM character : {9, 27, 127}) EXPECT_TRUE(WasPassedOn(WM_CHAR, character));
    EXPECT_TRUE(WasPassedOn(WM_KEYDOWN, VK_TAB) && WasPassedOn(WM_KEYDOWN, VK_ESCAPE));
    Run("kept in memory");
    EXPECT_EQ(HistoryFile(), "from the file\r\n") << "history.txt is not written";
    Send(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(Field(), "kept in memory");

    Write("torvex.rc", "");
    Send(shell::kReconfigure);  // every one on again
    SetWindowTextA(box(), "Do");
    Send(EM_SETSEL, 2, 2);
    Press("T");
    EXPECT_EQ(Field(), "Documents\\");
}

}  // namespace
