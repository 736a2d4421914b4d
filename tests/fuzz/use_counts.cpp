// The counts file's reader, for any bytes: every use read is one the box could have written
// (a count from 1 to the cap, a time not after now, a line a slot can hold), and what it reads
// it writes and reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "history/UseChanges.h"
#include "history/UseCounts.h"

namespace {
constexpr std::int64_t kNow = 1800000000;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    using torvex::uses::UseCounts;
    UseCounts read = UseCounts::FromBytes(bytes, kNow);
    for (const auto& [line, use] : read.all()) {
        if (use.count < 1 || use.count > torvex::uses::kMostUses || use.last > kNow ||
            line.empty() || line.size() > torvex::uses::kMaxLineLength ||
            line.find(u'\0') != std::u16string::npos) {
            std::abort();
        }
    }
    // Another box's changes laid on what this one read: still counts the box could have written.
    torvex::uses::UseChanges changes;
    bool forget = false;
    for (const auto& entry : read.all()) {
        if ((forget = !forget)) changes.Forget(entry.first);
        changes.Record(entry.first, kNow);
    }
    const UseCounts merged = changes.AppliedTo(read);
    for (const auto& [line, use] : merged.all()) {
        if (use.count < 1 || use.count > torvex::uses::kMostUses || use.last > kNow) std::abort();
    }
    const std::string written = read.Bytes();
    UseCounts again = UseCounts::FromBytes(written, kNow);
    if (again.all().size() != read.all().size() || again.Bytes() != written) std::abort();
    return 0;
}
