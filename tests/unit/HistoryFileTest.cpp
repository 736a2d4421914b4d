// Reading the newest lines of a history file, checked against a plain whole-file reading.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "history/HistoryFile.h"
#include "tests/support/ChoppyStream.h"
#include "tests/support/ReferenceHistory.h"
#include "tests/support/Text.h"

using torvex::history::kMaxLineLength;
using torvex::history::ReadNewestLines;

namespace {

using testsupport::ReferenceHistory;
using Lines = std::vector<std::string>;

// The lines in UTF-8, a line that is not read in Latin-1.
Lines Utf8Lines(const std::vector<std::u16string>& lines) {
    Lines text;
    for (const std::u16string& line : lines) text.push_back(testsupport::Utf8(line));
    return text;
}

Lines Read(const std::string& bytes, std::size_t maxLines = 512,
           std::size_t chunk = torvex::history::kDefaultChunkSize) {
    std::istringstream in(bytes);
    return Utf8Lines(ReadNewestLines(in, maxLines, testsupport::Latin1, chunk));
}

std::string Utf16File(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : testsupport::U16(utf8)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

}  // namespace

TEST(HistoryFile, EmptyAndShortFiles) {
    EXPECT_EQ(Read(""), Lines{});
    EXPECT_EQ(Read("a\r\nb\r\nc\r\n"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(Read("\r\n"), Lines{""}) << "an empty line that was run is a real line";
    EXPECT_EQ(Read("a\r\n\r\n"), (Lines{"a", ""}));
}

TEST(HistoryFile, LineBreaksOnlyWhereTheyAre) {
    EXPECT_EQ(Read("a\nb\n"), (Lines{"a", "b"})) << "bare LF from another editor";
    EXPECT_EQ(Read("a\r\nlast"), (Lines{"a", "last"})) << "a last line without a break loads";
    EXPECT_EQ(Read("x\ry\r\n"), Lines{"x\ry"}) << "a CR inside a line stays";
    EXPECT_EQ(Read("x\r"), Lines{"x\r"}) << "no LF, so no line break to remove";
}

TEST(HistoryFile, KeepsTheNewestLines) {
    std::string file;
    for (int i = 1; i <= 600; ++i) file += "line " + std::to_string(i) + "\r\n";
    Lines lines = Read(file);
    ASSERT_EQ(lines.size(), 512u);
    EXPECT_EQ(lines.front(), "line 89");
    EXPECT_EQ(lines.back(), "line 600");

    EXPECT_EQ(Read(file, 1), Lines{"line 600"});
    EXPECT_EQ(Read(file, 0), Lines{});
}

TEST(HistoryFile, LongLinesComeBackWholeOrCut) {
    std::string full(kMaxLineLength, 'f');
    std::string tooLong(5000, 'x');
    Lines lines = Read("before\r\n" + full + "\r\n" + tooLong + "\r\nafter\r\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], full) << "4095 characters fit one slot whole";
    EXPECT_EQ(lines[2], std::string(kMaxLineLength, 'x')) << "the rest of a longer line is skipped";
    EXPECT_EQ(lines[3], "after") << "the next line is not disturbed";

    // A line of 4095 characters and a CR: the CR belongs to the break, not to the line.
    EXPECT_EQ(Read(full + "\r\n"), Lines{full});
}

// Each line in its own encoding: UTF-8 where it is that, else the code page (Latin-1 here);
// a UTF-8 byte order mark skipped; a file with the UTF-16 one in UTF-16. A line is cut between
// characters only.
TEST(HistoryFile, ReadsEachLineInItsOwnEncoding) {
    const std::string pairs(2048 * 4, 'x');
    const std::pair<std::string, Lines> cases[] = {
        {"caf\xE9\r\ncaf\xC3\xA9\r\n\xD0\x96\xC3\r\n", {"café", "café", "Ð\u0096Ã"}},
        {"\xEF\xBB\xBF\xE6\x97\xA5\xF0\x9F\x98\x80\r\n", {"日😀"}},
        {"\xC0\xAF\r\n\xED\xA0\x80\r\n\xF4\x90\x80\x80",
         {"À¯", "í\xC2\xA0\xC2\x80", "ô\xC2\x90\xC2\x80\xC2\x80"}},
        {Utf16File("café\r\n日本 x\r\n😀"), {"café", "日本 x", "😀"}},
        {Utf16File("x\r\n") + "y", {"x"}},  // a byte left over is no unit
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(Read(bytes), expected);

    std::string emoji;
    for (int i = 0; i < 2048; ++i) emoji += "😀";  // 4,096 units
    EXPECT_EQ(Read(emoji + "\r\n"), Lines{emoji.substr(0, 2047 * 4)}) << "no half a character";
    EXPECT_EQ(Read(Utf16File(emoji)), Lines{emoji.substr(0, 2047 * 4)});
    std::string accents;
    for (int i = 0; i < 5000; ++i) accents += "é";
    EXPECT_EQ(Read(accents), Lines{accents.substr(0, 4095 * 2)});
}

// A new line goes in the file's own form and reads back whole, found by fuzzing: a first line
// that begins with U+FEFF, and a UTF-16 file whose last, lone byte is a line feed.
TEST(HistoryFile, AppendedLinesReadBackWhole) {
    using namespace std::string_literals;
    const std::string path = std::filesystem::temp_directory_path().string() + "\\torvex-append";
    struct Case {
        std::string before;
        std::u16string line;
        std::string after;
    };
    const Case cases[] = {
        {"", u"\uFEFFx", "\xEF\xBB\xBF\xEF\xBB\xBFx\r\n"},
        {"\xEF\xBB\xBF", u"\u00E9", "\xEF\xBB\xBF\xC3\xA9\r\n"},
        {"\xFF\xFE"s + "a\0\n"s, u"\U0001F600", "\xFF\xFE"s + "a\0\n\0=\xD8\0\xDE\r\0\n\0"s},
        {"\xFF\xFE"s + "a\0"s, u"b", "\xFF\xFE"s + "a\0\r\0\n\0b\0\r\0\n\0"s},
    };
    for (const Case& file : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << file.before;
        ASSERT_TRUE(torvex::history::AppendLine(path, file.line));
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), file.after);
        std::vector<std::u16string> lines;
        in.close();
        ASSERT_TRUE(torvex::history::LoadNewestLines(path, 512, testsupport::Latin1, lines));
        EXPECT_EQ(lines.back(), file.line);
    }
    std::filesystem::remove(path);
}

// A line removed takes its break with it; every other line keeps its bytes. Found by review:
// removing the first line could leave one that begins as a byte order mark at the file's start.
TEST(HistoryFile, ALineRemovedLeavesTheOthersAsTheyWere) {
    using torvex::history::WithoutLine;
    struct Case {
        std::string before, line, after;
    };
    const Case cases[] = {
        {"a\r\nb\nc", "b", "a\r\nc"},
        {"a\r\nb\r\na\r\n", "a", "b\r\n"},  // every time it stands there
        {Utf16File("a\r\nb\r\n"), "a", Utf16File("b\r\n")},
        {"old\r\n\xFF\xFEpad\r\n", "old", "\xEF\xBB\xBF\xFF\xFEpad\r\n"},
        {"old\r\n\xEF\xBB\xBFzw\r\n", "old", "\xEF\xBB\xBF\xEF\xBB\xBFzw\r\n"},
        {std::string("ab\0cd\r\nab\r\nkeep\r\n", 17), "ab", "keep\r\n"},  // listed up to a NUL
    };
    for (const Case& file : cases) {
        std::string after =
            WithoutLine(file.before, testsupport::U16(file.line), testsupport::Latin1);
        EXPECT_EQ(after, file.after);
        Lines expected = Read(file.before);
        expected.erase(std::remove_if(expected.begin(), expected.end(),
                                      [&](const std::string& line) {
                                          return line.substr(0, line.find('\0')) == file.line;
                                      }),
                       expected.end());
        EXPECT_EQ(Read(after), expected) << "the others read back as they did";
    }
}

TEST(HistoryFile, AgreesWithWholeFileReadingForAnyChunkSizeAndShortReads) {
    std::mt19937 random(12345);
    const char alphabet[] = "ab\r\n\n\nxyz\xC3\xA9\xFF\xFE\x00";
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        std::size_t length = random() % 200;
        for (std::size_t i = 0; i < length; ++i)
            bytes += alphabet[random() % (sizeof(alphabet) - 1)];
        std::size_t maxLines = 1 + random() % 12;
        std::size_t chunk = 1 + random() % 9;
        std::size_t maxRead = 1 + random() % 5;
        testsupport::ChoppyBuffer buffer(bytes, maxRead);
        std::istream in(&buffer);
        ASSERT_EQ(ReadNewestLines(in, maxLines, testsupport::Latin1, chunk),
                  ReferenceHistory(bytes, maxLines))
            << "round " << round << " maxLines " << maxLines << " chunk " << chunk << " maxRead "
            << maxRead;
    }
}

// Another shell sharing the folder appends while the file is read: what it adds waits for the
// next load, and no more lines come back than were asked for.
TEST(HistoryFile, AFileThatGrowsWhileReadGivesNoMoreThanAskedFor) {
    std::string file;
    for (int i = 1; i <= 600; ++i) file += "line " + std::to_string(i) + "\r\n";
    for (std::size_t maxRead : {1, 7, 4096}) {
        testsupport::ChoppyBuffer buffer(file, maxRead, "late 1\r\nlate 2\r\n");
        std::istream in(&buffer);
        Lines lines = Utf8Lines(ReadNewestLines(in, 512, testsupport::Latin1, 64));
        ASSERT_EQ(lines.size(), 512u) << maxRead;
        EXPECT_EQ(lines.front(), "line 89");
        EXPECT_EQ(lines.back(), "line 600");
    }
}
