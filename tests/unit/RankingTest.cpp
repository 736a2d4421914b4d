// The uses of the held lines and the order they give: the counts file read and written, and the
// score rule.
#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "history/Ranking.h"
#include "history/UseChanges.h"
#include "history/UseCounts.h"
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
    const std::u16string pick = torvex::uses::PickOf(u"vsc", u"C:\\Menu\\V S.lnk");
    written.Record(pick, kNow - 5);
    UseCounts read = UseCounts::FromBytes(written.Bytes(), kNow);
    EXPECT_EQ(read.Bytes(), written.Bytes());
    EXPECT_EQ(read.Of(pick).count, 1u) << written.Bytes();
    EXPECT_EQ(written.Bytes().find("\nvsc"), std::string::npos) << "a line of its own kind";
    // A pick without its key, or with a line break, is skipped; nor is any pick a line "x".
    EXPECT_EQ(UseCounts::FromBytes("pick\t3\t100\tx\n", kNow).all().size(), 0u);
    EXPECT_EQ(UseCounts::FromBytes("pick\t3\t100\tx\tk\n", kNow)
                  .Of(torvex::uses::PickOf(u"x", u"k"))
                  .count,
              3u);
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

// The line suggested for what is typed, and how many lines were asked whether they are gone:
// each asking may touch the disk, so no line is asked twice.
TEST(Ranking, TheBestLineStartsWithTheTypedTextAndEachIsAskedAboutOnce) {
    struct Case {
        const char* typed;
        std::vector<std::string_view> held;  // newest first
        std::vector<std::uint64_t> scores;
        std::set<int> gone;
        int best, asked;
    };
    const Case cases[] = {
        {"no", {"Notepad", "note"}, {9, 0}, {}, 1, 1},         // exact before case-free
        {"no", {"Notepad"}, {0}, {}, 0, 1},                    // case-free when none is exact
        {"no", {"nota", "notb"}, {3, 3}, {}, 0, 1},            // equal: the newer
        {"no", {"nota", "notb"}, {0, 5}, {}, 1, 1},            // used more
        {"no", {"nota", "notb"}, {0, 5}, {1}, 0, 2},           // gone: the next
        {"no", {"note", "NOTE2", "x"}, {0, 0, 0}, {0}, 1, 2},  // the exact one not asked again
        {"no", {"note", "NOTE2"}, {0, 0}, {0, 1}, -1, 2},
        {"no", {"no", "n", "x"}, {0, 0, 0}, {}, -1, 0},  // only itself, or shorter
        {"", {"no"}, {0}, {}, -1, 0},
    };
    for (const Case& row : cases) {
        int asked = 0;
        const int best = torvex::ranking::BestSlot<char>(
            row.typed, row.held,
            [](char a, char b) { return std::towlower(a) == std::towlower(b); },
            [&](int slot) { return row.scores[slot]; },
            [&](int slot) {
                ++asked;
                return row.gone.count(slot) != 0;
            });
        EXPECT_EQ(best, row.best) << row.typed << " " << row.held[0];
        EXPECT_EQ(asked, row.asked) << row.typed << " " << row.held[0];
    }
}

// What a box writes is the file as it is now with this box's own changes on it: uses counted by
// another box are kept, and a line erased there is not written back unless run here since.
// Counts that sum past 10,000 are aged by 0.9, and what falls below 1 is dropped (as zoxide).
TEST(UseCounts, ABoxWritesItsOwnChangesOnWhatTheFileHoldsNow) {
    UseCounts inFile = UseCounts::FromBytes("4\t100\ta\n2\t100\tb\n", kNow);
    torvex::uses::UseChanges changes;
    changes.Record(u"a", kNow);
    changes.Record(u"c", kNow);
    changes.Forget(u"b");
    UseCounts written = changes.AppliedTo(inFile);
    EXPECT_EQ(written.Bytes(),
              UseCounts::FromBytes(
                  "5\t" + std::to_string(kNow) + "\ta\n1\t" + std::to_string(kNow) + "\tc\n", kNow)
                  .Bytes());
    changes.Done();
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(changes.AppliedTo(UseCounts()).all().size(), 0u) << "erased elsewhere: not back";

    struct Case {
        std::uint32_t a, b, aAfter, bAfter;  // 0: dropped
    };
    const Case cases[] = {
        {9999, 1, 9999, 1},  // 10,000 in all: as they are
        {9999, 2, 8999, 1},  // past it: each times 0.9, rounded down
        {10000, 1, 9000, 0},
        {torvex::uses::kMostUses, 5, 900000, 4},
    };
    for (const Case& row : cases) {
        UseCounts counts;
        counts.Add(u"a", {row.a, 1});
        counts.Add(u"b", {row.b, 1});
        counts.Age();
        EXPECT_EQ(counts.Of(u"a").count, row.aAfter) << row.a << " " << row.b;
        EXPECT_EQ(counts.Of(u"b").count, row.bAfter) << row.a << " " << row.b;
    }
}

}  // namespace
