#include "commands/HistoryFile.h"

#include <algorithm>
#include <fstream>

namespace torvex::history {
namespace {

// Byte offset at which the newest `maxLines` lines begin, found by walking back from `end`.
std::streamoff FindStartOfNewest(std::istream& in, std::streamoff end, std::size_t maxLines,
                                 std::size_t chunkSize) {
    std::vector<char> chunk(chunkSize);
    std::size_t breaksSeen = 0;
    std::streamoff position = end;
    while (position > 0) {
        std::streamoff length = std::min<std::streamoff>(position, chunkSize);
        position -= length;
        in.seekg(position);
        in.read(chunk.data(), length);
        if (in.gcount() != length) return 0;
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

}  // namespace

std::vector<std::string> ReadNewestLines(std::istream& in, std::size_t maxLines,
                                         std::size_t chunkSize) {
    std::vector<std::string> lines;
    if (maxLines == 0 || chunkSize == 0) return lines;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size <= 0) return lines;

    char last = 0;
    in.seekg(size - 1);
    in.get(last);
    // A break that ends the file closes the last line; it does not open another one.
    std::streamoff scanEnd = (last == '\n') ? size - 1 : size;
    std::streamoff start = FindStartOfNewest(in, scanEnd, maxLines, chunkSize);

    in.clear();
    in.seekg(start);
    LineCollector collector(lines);
    std::vector<char> chunk(chunkSize);
    while (in) {
        in.read(chunk.data(), chunk.size());
        std::streamsize got = in.gcount();
        for (std::streamsize i = 0; i < got; ++i) collector.Take(chunk[i]);
        if (got == 0) break;
    }
    collector.FinishLast();
    return lines;
}

bool LoadNewestLines(const std::string& path, std::size_t maxLines,
                     std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return false;
    lines = ReadNewestLines(in, maxLines);
    return true;
}

bool AppendLine(const std::string& path, const std::string& line) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out.is_open()) return false;
    out << line << "\r\n";
    return static_cast<bool>(out);
}

}  // namespace torvex::history
