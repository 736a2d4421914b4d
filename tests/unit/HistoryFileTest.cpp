// Reading the newest lines of a history file, checked against a plain whole-file reading.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "commands/HistoryFile.h"
#include "tests/support/ChoppyStream.h"
#include "tests/support/ReferenceHistory.h"

using torvex::history::kMaxLineLength;
using torvex::history::ReadNewestLines;

namespace {

std::vector<std::string> Read(const std::string& bytes, std::size_t maxLines = 512,
                              std::size_t chunk = torvex::history::kDefaultChunkSize) {
    std::istringstream in(bytes);
    return ReadNewestLines(in, maxLines, chunk);
}

using testsupport::ReferenceHistory;
using Lines = std::vector<std::string>;

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

TEST(HistoryFile, AgreesWithWholeFileReadingForAnyChunkSizeAndShortReads) {
    std::mt19937 random(12345);
    const char alphabet[] = "ab\r\n\n\nxyz";
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
        ASSERT_EQ(ReadNewestLines(in, maxLines, chunk), ReferenceHistory(bytes, maxLines))
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
        Lines lines = ReadNewestLines(in, 512, 64);
        ASSERT_EQ(lines.size(), 512u) << maxRead;
        EXPECT_EQ(lines.front(), "line 89");
        EXPECT_EQ(lines.back(), "line 600");
    }
}
