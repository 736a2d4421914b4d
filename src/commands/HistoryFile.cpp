#include "commands/HistoryFile.h"

#include <algorithm>
#include <fstream>

namespace torvex::history {
namespace {

// Reads `length` bytes at `position`, going on after a short read; returns how many it got,
// fewer only when the file ends first (it shrank since it was measured).
std::streamsize ReadAt(std::istream& in, std::streamoff position, char* buffer,
                       std::streamsize length) {
    in.clear();
    in.seekg(position);
    std::streamsize got = 0;
    while (got < length && in) {
        in.read(buffer + got, length - got);
        std::streamsize part = in.gcount();
        if (part == 0) break;
        got += part;
        in.clear();
    }
    return got;
}

// Byte offset at which the newest `maxLines` lines begin, found by walking back from `end`;
// 0 when the file changed under the walk, and the caller then keeps the newest lines itself.
std::streamoff FindStartOfNewest(std::istream& in, std::streamoff end, std::size_t maxLines,
                                 std::vector<char>& chunk) {
    std::size_t breaksSeen = 0;
    std::streamoff position = end;
    while (position > 0) {
        std::streamoff length = std::min<std::streamoff>(position, chunk.size());
        position -= length;
        if (ReadAt(in, position, chunk.data(), length) != length) return 0;
        for (std::streamoff i = length; i-- > 0;) {
            if (chunk[i] != '\n') continue;
            // The line after the k-th break from the end is the k-th newest but one.
            if (++breaksSeen == maxLines) return position + i + 1;
        }
    }
    return 0;
}

// Splits a byte stream into lines, keeping at most kMaxLineLength characters of each.
class LineCollector {
  public:
    explicit LineCollector(std::vector<std::string>& lines) : lines_(lines) {}

    void Take(char c) {
        if (c == '\n') {
            Finish();
            return;
        }
        ++rawLength_;
        last_ = c;
        if (current_.size() < kMaxLineLength) current_.push_back(c);
    }

    void FinishLast() {
        if (rawLength_ > 0) lines_.push_back(current_);
    }

  private:
    void Finish() {
        // The CR of a CR LF break is dropped only when it was kept, i.e. the line was not cut.
        if (last_ == '\r' && rawLength_ <= kMaxLineLength) current_.pop_back();
        lines_.push_back(current_);
        current_.clear();
        rawLength_ = 0;
        last_ = 0;
    }

    std::vector<std::string>& lines_;
    std::string current_;
    std::size_t rawLength_ = 0;
    char last_ = 0;
};

// The lines between `start` and `end`, the size measured before: what another process appends
// meanwhile is left for the next load.
void CollectLines(std::istream& in, std::streamoff start, std::streamoff end,
                  std::vector<char>& chunk, std::vector<std::string>& lines) {
    LineCollector collector(lines);
    for (std::streamoff position = start; position < end;) {
        std::streamoff length = std::min<std::streamoff>(end - position, chunk.size());
        std::streamsize got = ReadAt(in, position, chunk.data(), length);
        for (std::streamsize i = 0; i < got; ++i) collector.Take(chunk[i]);
        if (got == 0) break;
        position += got;
    }
    collector.FinishLast();
}

}  // namespace

std::vector<std::string> ReadNewestLines(std::istream& in, std::size_t maxLines,
                                         std::size_t chunkSize) {
    std::vector<std::string> lines;
    if (maxLines == 0 || chunkSize == 0) return lines;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size <= 0) return lines;

    std::vector<char> chunk(chunkSize);
    std::streamoff start = 0;
    char last = 0;
    if (ReadAt(in, size - 1, &last, 1) == 1) {
        // A break that ends the file closes the last line; it does not open another one.
        start = FindStartOfNewest(in, last == '\n' ? size - 1 : size, maxLines, chunk);
    }
    CollectLines(in, start, size, chunk, lines);
    if (lines.size() > maxLines) lines.erase(lines.begin(), lines.end() - maxLines);
    return lines;
}

bool LoadNewestLines(const char* path, std::size_t maxLines, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return false;
    lines = ReadNewestLines(in, maxLines);
    return true;
}

bool AppendLine(const char* path, const char* line) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::app | std::ios::binary);
    if (!file.is_open()) return false;
    file.seekg(0, std::ios::end);
    std::streamoff size = file.tellg();
    char last = '\n';
    if (size > 0 && !file.seekg(size - 1).get(last)) last = '\n';
    file.clear();
    file.seekp(0, std::ios::end);
    // A last line without a break (edited by hand, or cut short) must not swallow this one.
    if (last != '\n') file << "\r\n";
    file << line << "\r\n";
    file.flush();
    return static_cast<bool>(file);
}

}  // namespace torvex::history
