// The uses of the held lines and the order they give: the counts file read and written, and the
// score rule.
#include <gtest/gtest.h>

#include <string>

#include "commands/Ranking.h"
#include "commands/UseCounts.h"
#include "tests/support/Text.h"

namespace {

using torvex::uses::Use;
using torvex::uses::UseCounts;

constexpr std::int64_t kNow = 1800000000;

// What a file written holds is read back; what cannot be read costs its own line only.
TEST(UseCounts, ReadsWhatItWritesAndSkipsWhatItCannotRead) {
    UseCounts written;
    for (const char* line : {"notepad", "notepad", "C:\\Read Me.txt\targ", "Жёлтый 😀"}) {
        written.Record(testsupport::U16(line), kNow - 5);
    }
    UseCounts read = UseCounts::FromBytes(written.Bytes(), kNow);
    EXPECT_EQ(read.Bytes(), written.Bytes());
    EXPECT_EQ(read.Of(u"notepad").count, 2u);
    EXPECT_EQ(read.Of(u"C:\\Read Me.txt\targ").last, kNow - 5) << "a tab inside the line";

    struct Case {
        const char* bytes;
        std::uint32_t count;  // of "x"; 0: not read
        std::int64_t last;
    };
    const Case cases[] = {
        {"3\t100\tx\r\n", 3, 100},                                         // an editor's line break
        {"99999999999999999999\t100\tx\n", torvex::uses::kMostUses, 100},  // capped
        {"3\t99999999999999999999\tx\n", 3, kNow},                         // in the future: now
        {"0\t100\tx\n", 0, 0},                                             // never used
        {"-3\t100\tx\n", 0, 0},
        {"3\t\tx\n", 0, 0},
        {"3 100 x\n", 0, 0},
        {"3\t100\t\xC3\n", 0, 0},  // not UTF-8
        {"3\t100\t\n", 0, 0},
        {"garbage\n\n\t\t\n3\t100\tx", 3, 100},  // a last line without its break
    };
    for (const Case& row : cases) {
        Use use = UseCounts::FromBytes(row.bytes, kNow).Of(u"x");
        EXPECT_EQ(use.count, row.count) << row.bytes;
        EXPECT_EQ(use.last, row.last) << row.bytes;
    }
}

TEST(Ranking, WeighsUsesByHowLatelyTheLastWasAsZoxideDoes) {
    struct Case {
        std::int64_t age;
        std::uint64_t quarters;  // per use
    };
    const Case cases[] = {{0, 16},    {3599, 16},  {3600, 8},   {86399, 8},
                          {86400, 2}, {604799, 2}, {604800, 1}, {100000000, 1}};
    for (const Case& row : cases) {
        EXPECT_EQ(torvex::ranking::Score({3, kNow - row.age}, kNow), 3 * row.quarters) << row.age;
    }
    EXPECT_EQ(torvex::ranking::Score({}, kNow), 0u) << "never used";
}

}  // namespace
