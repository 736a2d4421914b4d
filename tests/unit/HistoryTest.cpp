// The history list behind a real Edit window, with history.txt beside the test program.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "history/HistoryLocation.h"
#include "text/WholeFile.h"
#include "plugin/TorvexPlugin.h"
#include "tests/support/AppData.h"
#include "tests/support/PluginBox.h"
#include "tests/support/TempShellFolder.h"
#include "tests/support/Text.h"

namespace {

class HistoryTest : public testsupport::PluginBox {
  protected:
    void SetUp() override {
        PluginBox::SetUp();
        Start();
    }
    void WriteFile(const std::string& bytes) {
        std::ofstream(historyPath_, std::ios::binary) << bytes;
    }
    void Type(const char* text) { SetWindowTextA(box(), text); }
    std::string Slot(int slot) { return testsupport::Utf8(plugin_->history[slot]); }
};

TEST_F(HistoryTest, LoadsNewestFirstWithoutAPhantomLine) {
    WriteFile("a\r\nb\r\nc\r\n");
    plugin_->LoadHistory();
    ASSERT_EQ(plugin_->historyCount, 3);
    EXPECT_EQ(Slot(0), "c");
    EXPECT_EQ(Slot(2), "a");

    // Up walks to the oldest line and stays there; Down walks back to an empty field.
    for (const char* expected : {"c", "b", "a", "a"}) {
        plugin_->RecallOlder();
        EXPECT_EQ(Field(), expected);
    }
    EXPECT_EQ(plugin_->historyCursor, 3);
    for (const char* expected : {"b", "c", "", ""}) {
        plugin_->RecallNewer();
        EXPECT_EQ(Field(), expected);
    }
    EXPECT_EQ(plugin_->historyCursor, 0);
}

TEST_F(HistoryTest, RecallLeavesTheCaretAfterTheLine) {
    WriteFile("notepad\r\n");
    plugin_->LoadHistory();
    plugin_->RecallOlder();
    DWORD start = 0, end = 0;
    SendMessageA(box(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 7u);
    EXPECT_EQ(end, 7u);
}

TEST_F(HistoryTest, MissingEmptyAndOddFiles) {
    plugin_->LoadHistory();
    EXPECT_EQ(plugin_->historyCount, 0) << "no file";

    WriteFile("");
    plugin_->LoadHistory();
    EXPECT_EQ(plugin_->historyCount, 0) << "an empty file is an empty list";

    Type("typed");
    plugin_->RecallOlder();
    EXPECT_EQ(Field(), "typed") << "Up on an empty list leaves the field alone";
    EXPECT_EQ(plugin_->historyCursor, 0);

    std::string longLine(4095, 'L');
    WriteFile(longLine + "\r\n" + std::string(6000, 'M') + "\r\nend\r\n");
    plugin_->LoadHistory();
    ASSERT_EQ(plugin_->historyCount, 3);
    EXPECT_EQ(Slot(2), longLine);
    EXPECT_EQ(Slot(1), std::string(4095, 'M'));
    EXPECT_EQ(Slot(0), "end");
}

TEST_F(HistoryTest, ALongFileLoadsItsNewestLines) {
    std::string file;
    std::vector<std::string> lines;
    for (int i = 1; i <= 600; ++i) {
        file += "cmd" + std::to_string(i) + "\r\n";
        lines.push_back("cmd" + std::to_string(i));
    }
    WriteFile(file);
    plugin_->LoadHistory();
    ASSERT_EQ(plugin_->historyCount, 512);
    EXPECT_EQ(Slot(0), "cmd600");
    EXPECT_EQ(Slot(511), "cmd89");

    // Handed more lines than it has slots, the list takes the newest and writes no further.
    plugin_->historyCount = 0;
    std::vector<std::u16string> wide;
    for (const std::string& line : lines) wide.push_back(testsupport::U16(line));
    plugin_->FillHistory(wide);
    ASSERT_EQ(plugin_->historyCount, 512);
    EXPECT_EQ(Slot(0), "cmd600");
    EXPECT_EQ(Slot(511), "cmd89");
}

// A file whose last line has no break (edited by hand, or cut short): the next line is not
// glued to it.
TEST_F(HistoryTest, ALineAppendedAfterALastLineWithoutABreakStandsAlone) {
    WriteFile("one\r\nthree");
    plugin_->LoadHistory();
    plugin_->AddToHistory(L"calc");
    EXPECT_EQ(HistoryFile(), "one\r\nthree\r\ncalc\r\n");
    plugin_->LoadHistory();
    ASSERT_EQ(plugin_->historyCount, 3);
    EXPECT_EQ(Slot(0), "calc");
    EXPECT_EQ(Slot(1), "three");
}

// history.txt as it may be found: written by the box before it was Unicode (code page 1252
// here), with lines of both kinds, saved by an editor with a UTF-8 byte order mark or in UTF-16.
// Each loads line by line; a new line goes in the file's own form; nothing is lost.
TEST_F(HistoryTest, FilesInEveryFormLoadAndTakeNewLinesInTheirOwn) {
    ASSERT_EQ(GetACP(), 1252u) << "the code page these files were written in";
    auto utf16 = [](const char16_t* text) {
        std::string bytes;
        for (; *text; ++text)
            bytes += {static_cast<char>(*text & 0xFF), static_cast<char>(*text >> 8)};
        return bytes;
    };
    struct Case {
        std::string before;
        std::vector<std::string> lines;  // oldest first
        std::string added;               // what "naïve" adds to the file
    };
    const Case cases[] = {
        {"caf\xE9\r\n", {"café"}, "na\xC3\xAFve\r\n"},
        {"caf\xE9\r\n\xD0\x96\xC3\xA9\r\nx\xA9", {"café", "Жé", "x©"}, "\r\nna\xC3\xAFve\r\n"},
        {"\xEF\xBB\xBF\xE6\x97\xA5\r\n", {"日"}, "na\xC3\xAFve\r\n"},
        {"\xFF\xFE" + utf16(u"caf\u00E9\r\n\U0001F600\r\n"),
         {"café", "😀"},
         utf16(u"na\u00EFve\r\n")},
    };
    for (const Case& file : cases) {
        SCOPED_TRACE(file.before);
        WriteFile(file.before);
        plugin_->LoadHistory();
        ASSERT_EQ(plugin_->historyCount, static_cast<int>(file.lines.size()));
        for (std::size_t i = 0; i < file.lines.size(); ++i) {
            EXPECT_EQ(Slot(static_cast<int>(file.lines.size() - 1 - i)), file.lines[i]);
        }
        plugin_->AddToHistory(L"na\u00EFve");
        EXPECT_EQ(HistoryFile(), file.before + file.added) << "the old bytes kept as they were";
        plugin_->LoadHistory();
        EXPECT_EQ(plugin_->historyCount, static_cast<int>(file.lines.size()) + 1);
        EXPECT_EQ(Slot(0), "naïve");
        EXPECT_EQ(Slot(1), file.lines.back());
    }
}

TEST_F(HistoryTest, AddsNewLinesOnceAndAppendsThem) {
    plugin_->AddToHistory(L"notepad");
    plugin_->AddToHistory(L"calc");
    plugin_->AddToHistory(L"notepad");
    EXPECT_EQ(plugin_->historyCount, 2) << "a held line is not added again";
    EXPECT_EQ(Slot(0), "calc") << "nor moved to the front";
    plugin_->AddToHistory(L"Notepad");
    EXPECT_EQ(plugin_->historyCount, 3) << "duplicates are compared exactly";
    EXPECT_EQ(HistoryFile(), "notepad\r\ncalc\r\nNotepad\r\n");

    plugin_->AddToHistory(L"");
    EXPECT_EQ(Slot(0), "") << "Enter on an empty field records an empty line";
    EXPECT_EQ(HistoryFile(), "notepad\r\ncalc\r\nNotepad\r\n\r\n");
}

TEST_F(HistoryTest, EmptyLineAfterLoadIsRecorded) {
    WriteFile("a\r\n");
    plugin_->LoadHistory();
    plugin_->AddToHistory(L"");
    EXPECT_EQ(plugin_->historyCount, 2) << "the load brings no empty line of its own";
}

TEST_F(HistoryTest, AFullListDropsTheOldestButTheFileKeepsAll) {
    for (int i = 1; i <= 513; ++i) plugin_->AddToHistory((L"line" + std::to_wstring(i)).c_str());
    ASSERT_EQ(plugin_->historyCount, 512);
    EXPECT_EQ(Slot(0), "line513");
    EXPECT_EQ(Slot(511), "line2");

    // After a restart the newest 512 come back, so nothing typed later is lost.
    plugin_->LoadHistory();
    ASSERT_EQ(plugin_->historyCount, 512);
    EXPECT_EQ(Slot(0), "line513");
    EXPECT_EQ(Slot(511), "line2");
    plugin_->AddToHistory(L"line514");
    plugin_->LoadHistory();
    EXPECT_EQ(Slot(0), "line514");
}

TEST_F(HistoryTest, ClearThenRecordKeepsOneLine) {
    plugin_->AddToHistory(L"a");
    plugin_->AddToHistory(L"b");
    DeleteFileA(historyPath_.c_str());
    plugin_->LoadHistory();
    EXPECT_EQ(plugin_->historyCount, 0);
    plugin_->AddToHistory(L".clear");
    EXPECT_EQ(plugin_->historyCount, 1);
    EXPECT_EQ(HistoryFile(), ".clear\r\n");
    plugin_->RecallOlder();
    EXPECT_EQ(Field(), ".clear");
}

TEST_F(HistoryTest, UnwritableFileKeepsTheLineInMemory) {
    ASSERT_TRUE(CreateDirectoryA(historyPath_.c_str(), nullptr));  // a folder cannot be appended to
    plugin_->AddToHistory(L"kept");
    EXPECT_EQ(plugin_->historyCount, 1);
    EXPECT_EQ(Slot(0), "kept");
}

// Where history.txt is kept: a refusal of access (read-only, or, under UAC virtualisation, any
// folder of the plug-in's) moves it to %APPDATA% with its use counts; a failure that passes (a
// file held, a folder not reachable yet) keeps it beside the plug-in for this start.
TEST_F(HistoryTest, AHistoryMovesToAppDataOnlyWhereAccessIsRefused) {
    const std::string folder = historyPath_.substr(0, historyPath_.rfind('\\') + 1);
    const std::string counts = folder + "history.counts.txt";
    struct Row {
        const char* name;
        std::function<HANDLE()> before;  // a handle to close at the end
        bool virtualized;
        const char* fallback;  // what %APPDATA%\Torvex\history.txt holds; nullptr: not chosen
    };
    auto readOnly = [&] {
        SetFileAttributesA(historyPath_.c_str(), FILE_ATTRIBUTE_READONLY);
        return INVALID_HANDLE_VALUE;
    };
    auto held = [&] {
        return CreateFileA(historyPath_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    };
    auto nothing = [] { return INVALID_HANDLE_VALUE; };
    const Row rows[] = {
        {"writable", nothing, false, nullptr},
        {"writable, virtualised", nothing, true, "old\r\n"},
        {"read-only", readOnly, false, "old\r\n"},
        {"held open", held, false, nullptr},
        {"held open, virtualised", held, true, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteFile("old\r\n");
        std::ofstream(counts, std::ios::binary) << "counts";
        HANDLE handle = row.before();
        const std::wstring chosen = torvex::ChooseHistoryFile(testsupport::Wide(folder),
                                                              kWorkBufferSize - 1, row.virtualized);
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        const std::string fallback = testsupport::FallbackHistoryPath();
        EXPECT_EQ(testsupport::Utf8(chosen), row.fallback ? fallback : historyPath_);
        EXPECT_EQ(testsupport::FileBytes(fallback), row.fallback ? row.fallback : "");
        EXPECT_EQ(testsupport::FileBytes(fallback.substr(0, fallback.rfind('\\') + 1) +
                                         "history.counts.txt"),
                  row.fallback ? "counts" : "")
            << "the use counts go along";
        EXPECT_EQ(testsupport::FileBytes(counts), row.fallback ? "" : "counts") << "none left";
        SetFileAttributesA(historyPath_.c_str(), FILE_ATTRIBUTE_NORMAL);
        testsupport::RemoveTree(fallback.substr(0, fallback.rfind('\\')));
    }
    DeleteFileA(counts.c_str());
    const std::wstring gone = testsupport::Wide(folder + "not reachable yet\\");
    EXPECT_EQ(torvex::ChooseHistoryFile(gone, kWorkBufferSize - 1, false), gone + L"history.txt");
    EXPECT_EQ(GetFileAttributesA(testsupport::FallbackHistoryPath().c_str()),
              INVALID_FILE_ATTRIBUTES)
        << "no empty history in its place";
}

// A rewrite that cannot be put in place leaves the old file as it was, and nothing beside it.
TEST_F(HistoryTest, ARewriteThatCannotBePutInPlaceKeepsTheOldFile) {
    const std::wstring path = testsupport::Wide(historyPath_);
    struct Row {
        const char* name;
        DWORD attributes, share;  // of the target; share: of a handle held on it, or ~0u
    };
    const Row rows[] = {
        {"read-only", FILE_ATTRIBUTE_READONLY, ~0u},
        {"held", FILE_ATTRIBUTE_NORMAL, 0},
        {"held for reading", FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteFile("old\r\n");
        SetFileAttributesW(path.c_str(), row.attributes);
        HANDLE held = row.share == ~0u ? INVALID_HANDLE_VALUE
                                       : CreateFileW(path.c_str(), GENERIC_READ, row.share, nullptr,
                                                     OPEN_EXISTING, 0, nullptr);
        EXPECT_FALSE(torvex::files::ReplaceWhole(path, "new\r\n"));
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(testsupport::FileBytes(historyPath_), "old\r\n");
        EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

// A place for history.txt whose path the box could not hold is never chosen, nor made: with
// %APPDATA% that long, and no history.txt possible beside the plug-in, the lines stay in memory.
TEST_F(HistoryTest, NoHistoryIsKeptWhereItsPathWouldNotFit) {
    char saved[MAX_PATH] = "";
    GetEnvironmentVariableA("APPDATA", saved, MAX_PATH);
    std::wstring appData = testsupport::Wide(saved);
    const int kDepth = 6;  // past the 511 units of a path the box holds
    for (int i = 0; i < kDepth; ++i) {
        appData += L"\\" + std::wstring(90, L'a' + i);
        CreateDirectoryW(appData.c_str(), nullptr);
    }
    SetEnvironmentVariableW(L"APPDATA", appData.c_str());
    ASSERT_TRUE(CreateDirectoryA(historyPath_.c_str(), nullptr));  // nothing beside the plug-in
    std::wstring folder = testsupport::Wide(historyPath_.substr(0, historyPath_.rfind('\\') + 1));
    EXPECT_EQ(torvex::ChooseHistoryFile(folder, kWorkBufferSize - 1, false),
              folder + L"history.txt");
    EXPECT_EQ(GetFileAttributesW((appData + L"\\Torvex").c_str()), INVALID_FILE_ATTRIBUTES);
    std::wstring chosen = torvex::ChooseHistoryFile(folder, appData.size() + 20, false);
    EXPECT_EQ(chosen, appData + L"\\Torvex\\history.txt") << "where it fits";
    DeleteFileW(chosen.c_str());
    RemoveDirectoryW((appData + L"\\Torvex").c_str());
    for (int i = 0; i < kDepth; ++i) {
        RemoveDirectoryW(appData.c_str());
        appData.resize(appData.rfind(L'\\'));
    }
    SetEnvironmentVariableA("APPDATA", saved);
}

TEST_F(HistoryTest, ShiftCompletesFromTheOldestMatch) {
    plugin_->AddToHistory(L"notepad");
    plugin_->AddToHistory(L"wordpad");
    Type("pad");
    plugin_->CompleteFromHistory();
    EXPECT_EQ(Field(), "notepad");
    EXPECT_EQ(plugin_->historyCursor, 2);

    // Up and Down go on from the completed line.
    plugin_->AddToHistory(L"calc");  // calc, wordpad, notepad
    Type("word");
    plugin_->CompleteFromHistory();
    EXPECT_EQ(Field(), "wordpad");
    plugin_->RecallOlder();
    EXPECT_EQ(Field(), "notepad");
    Type("word");
    plugin_->CompleteFromHistory();
    plugin_->RecallNewer();
    EXPECT_EQ(Field(), "calc");
}

TEST_F(HistoryTest, ShiftLeavesEmptyOrUnmatchedText) {
    plugin_->AddToHistory(L"notepad");
    plugin_->historyCursor = 0;
    Type("");
    plugin_->CompleteFromHistory();
    EXPECT_EQ(Field(), "");
    Type("Pad");
    plugin_->CompleteFromHistory();
    EXPECT_EQ(Field(), "Pad") << "completion is case-sensitive";
    EXPECT_EQ(plugin_->historyCursor, 0);
}

}  // namespace
