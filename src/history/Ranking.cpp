#include "history/Ranking.h"

namespace torvex::ranking {
namespace {

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 24 * kHour;
constexpr std::int64_t kWeek = 7 * kDay;

}  // namespace

std::uint64_t Score(const uses::Use& use, std::int64_t now) {
    const std::int64_t age = now - use.last;  // never negative: a future time is read as now
    const std::uint64_t quarters = age < kHour ? 16 : age < kDay ? 8 : age < kWeek ? 2 : 1;
    return use.count * quarters;
}

}  // namespace torvex::ranking
