// The history list behind a real Edit window, with history.txt beside the test program.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "plugin/TorvexPlugin.h"
#include "tests/support/PluginBox.h"

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
    std::string Slot(int slot) { return plugin_->history[slot]; }
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
    plugin_->FillHistory(lines);
    ASSERT_EQ(plugin_->historyCount, 512);
    EXPECT_EQ(Slot(0), "cmd600");
    EXPECT_EQ(Slot(511), "cmd89");
}

// A file whose last line has no break (edited by hand, or cut short): the next line is not
// glued to it.
TEST_F(HistoryTest, ALineAppendedAfterALastLineWithoutABreakStandsAlone) {
    WriteFile("one\r\nthree");
    plugin_->LoadHistory();
    plugin_->AddToHistory("calc");
    EXPECT_EQ(HistoryFile(), "one\r\nthree\r\ncalc\r\n");
    plugin_->LoadHistory();
    ASSERT_EQ(plugin_->historyCount, 3);
    EXPECT_EQ(Slot(0), "calc");
    EXPECT_EQ(Slot(1), "three");
}

TEST_F(HistoryTest, AddsNewLinesOnceAndAppendsThem) {
    plugin_->AddToHistory("notepad");
    plugin_->AddToHistory("calc");
    plugin_->AddToHistory("notepad");
    EXPECT_EQ(plugin_->historyCount, 2) << "a held line is not added again";
    EXPECT_EQ(Slot(0), "calc") << "nor moved to the front";
    plugin_->AddToHistory("Notepad");
    EXPECT_EQ(plugin_->historyCount, 3) << "duplicates are compared exactly";
    EXPECT_EQ(HistoryFile(), "notepad\r\ncalc\r\nNotepad\r\n");

    plugin_->AddToHistory("");
    EXPECT_EQ(Slot(0), "") << "Enter on an empty field records an empty line";
    EXPECT_EQ(HistoryFile(), "notepad\r\ncalc\r\nNotepad\r\n\r\n");
}

TEST_F(HistoryTest, EmptyLineAfterLoadIsRecorded) {
    WriteFile("a\r\n");
    plugin_->LoadHistory();
    plugin_->AddToHistory("");
    EXPECT_EQ(plugin_->historyCount, 2) << "the load brings no empty line of its own";
}

TEST_F(HistoryTest, AFullListDropsTheOldestButTheFileKeepsAll) {
    for (int i = 1; i <= 513; ++i) plugin_->AddToHistory(("line" + std::to_string(i)).c_str());
    ASSERT_EQ(plugin_->historyCount, 512);
    EXPECT_EQ(Slot(0), "line513");
    EXPECT_EQ(Slot(511), "line2");

    // After a restart the newest 512 come back, so nothing typed later is lost.
    plugin_->LoadHistory();
    ASSERT_EQ(plugin_->historyCount, 512);
    EXPECT_EQ(Slot(0), "line513");
    EXPECT_EQ(Slot(511), "line2");
    plugin_->AddToHistory("line514");
    plugin_->LoadHistory();
    EXPECT_EQ(Slot(0), "line514");
}

TEST_F(HistoryTest, ClearThenRecordKeepsOneLine) {
    plugin_->AddToHistory("a");
    plugin_->AddToHistory("b");
    DeleteFileA(historyPath_.c_str());
    plugin_->LoadHistory();
    EXPECT_EQ(plugin_->historyCount, 0);
    plugin_->AddToHistory(".clear");
    EXPECT_EQ(plugin_->historyCount, 1);
    EXPECT_EQ(HistoryFile(), ".clear\r\n");
    plugin_->RecallOlder();
    EXPECT_EQ(Field(), ".clear");
}

TEST_F(HistoryTest, UnwritableFileKeepsTheLineInMemory) {
    ASSERT_TRUE(CreateDirectoryA(historyPath_.c_str(), nullptr));  // a folder cannot be appended to
    plugin_->AddToHistory("kept");
    EXPECT_EQ(plugin_->historyCount, 1);
    EXPECT_EQ(Slot(0), "kept");
}

TEST_F(HistoryTest, ShiftCompletesFromTheOldestMatch) {
    plugin_->AddToHistory("notepad");
    plugin_->AddToHistory("wordpad");
    Type("pad");
    plugin_->CompleteFromHistory();
    EXPECT_EQ(Field(), "notepad");
    EXPECT_EQ(plugin_->historyCursor, 2);

    // Up and Down go on from the completed line.
    plugin_->AddToHistory("calc");  // calc, wordpad, notepad
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
    plugin_->AddToHistory("notepad");
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
