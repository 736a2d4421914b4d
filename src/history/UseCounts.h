#pragma once
// How often, and how lately, each held line was run, and the file that keeps it beside
// history.txt. Plain portable C++, so that it can be built natively too.
//
// The file is UTF-8, one line per held line: the count of uses, a tab, the time of the last use
// in seconds since 1970 (UTC), a tab, and the line itself. history.txt is left as it is, so that
// older versions of the box still read it; a counts file that is missing or damaged costs only
// the ranking. A line keeps its count after it leaves the 512-line list: the file is bounded by
// ageing instead, as zoxide bounds its own.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace torvex::uses {

constexpr std::uint32_t kMostUses = 1000000;      // a larger count is read as this many
constexpr std::size_t kMostFileBytes = 8u << 20;  // what is read of a counts file, at most
constexpr std::size_t kMaxLineLength = 4095;      // UTF-16 units, as a held line
constexpr std::uint64_t kMostTotal = 10000;       // counts summed past this are aged (zoxide's)

// A program picked from a typed text is counted as a line that no held line can be (it starts with
// a line break): the text (folded) and the program's key. The file holds it on a line of its own
// kind, "pick", that an older box skips.
std::u16string PickOf(std::u16string_view text, std::u16string_view key);
bool IsPick(std::u16string_view line);
// The text and the key of a pick; false when `line` is none.
bool ReadPick(std::u16string_view line, std::u16string_view& text, std::u16string_view& key);

struct Use {
    std::uint32_t count = 0;
    std::int64_t last = 0;  // seconds since 1970, UTC
};

class UseCounts {
  public:
    // One more use of `line`, at `now`.
    void Record(const std::u16string& line, std::int64_t now);
    // `use.count` more uses of `line` (up to kMostUses), the later of the two last uses kept.
    void Add(const std::u16string& line, Use use);
    void Forget(const std::u16string& line);
    void Clear() { uses_.clear(); }
    // The uses of `line`; none when it was never run.
    Use Of(const std::u16string& line) const;
    const std::unordered_map<std::u16string, Use>& all() const { return uses_; }
    // When the counts sum to more than kMostTotal, each is multiplied by 0.9 and what falls
    // below 1 is dropped: old habits fade and the file stays small.
    void Age();

    // The file's bytes, and the counts read from them: a line that cannot be read is skipped,
    // a count is capped at kMostUses, and a time after `now` counts as `now`.
    std::string Bytes() const;
    static UseCounts FromBytes(std::string_view bytes, std::int64_t now);

  private:
    std::unordered_map<std::u16string, Use> uses_;
};

}  // namespace torvex::uses
