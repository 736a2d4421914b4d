#include "history/UseCounts.h"

#include <algorithm>
#include <vector>

#include "text/Utf.h"

namespace torvex::uses {
namespace {

const char kPickKind[] = "pick\t";
const char kHeader[] = "# Torvex: uses and last use (seconds since 1970, UTC) of each line\n";
constexpr std::int64_t kMostSeconds = 1LL << 40;  // far beyond any clock

// A line that a line of the file can hold: no break, nothing that a slot could not hold. (A line
// read from an old history.txt may end in a carriage return: its uses are not kept.)
bool Writable(std::u16string_view line) {
    return !line.empty() && line.size() <= kMaxLineLength &&
           line.find_first_of(std::u16string_view(u"\0\r\n", 3)) == std::u16string_view::npos;
}

// The unsigned number that `text` is, up to `most`; false when it is none (or empty).
bool ReadNumber(std::string_view text, std::uint64_t most, std::uint64_t& value) {
    if (text.empty()) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        if (value <= most) value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > most) value = most;
    return true;
}

// A pick's text and key, each a field that a line of the file can hold.
bool WritablePick(std::u16string_view line) {
    std::u16string_view text, key;
    return ReadPick(line, text, key) && Writable(text) && Writable(key) &&
           text.find(u'\t') == std::u16string_view::npos &&
           key.find(u'\t') == std::u16string_view::npos;
}

// One line of the file: true, with the line and its use, when it reads.
bool ReadEntry(std::string_view entry, std::int64_t now, std::u16string& line, Use& use) {
    if (!entry.empty() && entry.back() == '\r') entry.remove_suffix(1);
    const bool pick = entry.substr(0, sizeof kPickKind - 1) == kPickKind;
    if (pick) entry.remove_prefix(sizeof kPickKind - 1);
    std::size_t first = entry.find('\t');
    std::size_t second = first == std::string_view::npos ? first : entry.find('\t', first + 1);
    if (second == std::string_view::npos) return false;
    std::uint64_t count = 0, seconds = 0;
    if (!ReadNumber(entry.substr(0, first), kMostUses, count) || count == 0 ||
        !ReadNumber(entry.substr(first + 1, second - first - 1), kMostSeconds, seconds)) {
        return false;
    }
    if (!utf::DecodeUtf8(entry.substr(second + 1), line)) return false;
    if (pick) {
        const std::size_t tab = line.find(u'\t');
        if (tab == std::u16string::npos) return false;
        line = PickOf(std::u16string_view(line).substr(0, tab),
                      std::u16string_view(line).substr(tab + 1));
        if (!WritablePick(line)) return false;
    } else if (!Writable(line)) {
        return false;
    }
    use.count = static_cast<std::uint32_t>(count);
    use.last = std::min(static_cast<std::int64_t>(seconds), now);
    return true;
}

}  // namespace

std::u16string PickOf(std::u16string_view text, std::u16string_view key) {
    std::u16string line = u"\n";
    line += text;
    line += u'\n';
    line += key;
    return line;
}

bool IsPick(std::u16string_view line) {
    return !line.empty() && line[0] == u'\n';
}

bool ReadPick(std::u16string_view line, std::u16string_view& text, std::u16string_view& key) {
    if (!IsPick(line)) return false;
    const std::size_t between = line.find(u'\n', 1);
    if (between == std::u16string_view::npos) return false;
    text = line.substr(1, between - 1);
    key = line.substr(between + 1);
    return true;
}

void UseCounts::Record(const std::u16string& line, std::int64_t now) {
    Use& use = uses_[line];
    if (use.count < kMostUses) ++use.count;
    use.last = now;
}

void UseCounts::Add(const std::u16string& line, Use use) {
    Use& sum = uses_[line];
    sum.count = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(std::uint64_t{sum.count} + use.count, kMostUses));
    sum.last = std::max(sum.last, use.last);
    if (sum.count == 0) uses_.erase(line);
}

void UseCounts::Age() {
    std::uint64_t total = 0;
    for (const auto& entry : uses_) total += entry.second.count;
    if (total <= kMostTotal) return;
    for (auto entry = uses_.begin(); entry != uses_.end();) {
        entry->second.count = static_cast<std::uint32_t>(entry->second.count * 9ull / 10);
        entry = entry->second.count == 0 ? uses_.erase(entry) : std::next(entry);
    }
}

void UseCounts::Forget(const std::u16string& line) {
    uses_.erase(line);
}

Use UseCounts::Of(const std::u16string& line) const {
    auto found = uses_.find(line);
    return found == uses_.end() ? Use() : found->second;
}

std::string UseCounts::Bytes() const {
    // In the order of the lines, so that the same counts always make the same file.
    std::vector<const std::pair<const std::u16string, Use>*> entries;
    for (const auto& entry : uses_) {
        if (Writable(entry.first) || WritablePick(entry.first)) entries.push_back(&entry);
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto* a, const auto* b) { return a->first < b->first; });
    std::string bytes = kHeader;
    for (const auto* entry : entries) {
        std::u16string_view text, key;
        const bool pick = ReadPick(entry->first, text, key);
        const std::u16string line =
            pick ? std::u16string(text) + u'\t' + std::u16string(key) : entry->first;
        bytes += (pick ? kPickKind : "") + std::to_string(entry->second.count) + '\t' +
                 std::to_string(entry->second.last) + '\t' + utf::EncodeUtf8(line) + '\n';
    }
    return bytes;
}

UseCounts UseCounts::FromBytes(std::string_view bytes, std::int64_t now) {
    UseCounts counts;
    std::u16string line;
    Use use;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        if (ReadEntry(bytes.substr(start, end - start), now, line, use)) {
            counts.uses_[line] = use;
        }
        start = end + 1;
    }
    return counts;
}

}  // namespace torvex::uses
