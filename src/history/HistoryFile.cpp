#include "history/HistoryFile.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "text/Utf.h"

namespace torvex::history {
namespace {

// The bytes of a line kept for decoding: enough, in any encoding, for kMaxLineLength units.
constexpr std::size_t kKeptBytes = 4 * kMaxLineLength;
constexpr unsigned kLineFeed = '\n';
constexpr unsigned kReturn = '\r';

// Where the lines begin (after a byte order mark), and the bytes of each unit of text.
struct Layout {
    std::streamoff base = 0;
    std::streamoff unit = 1;  // 2: UTF-16 LE
};

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

Layout LayoutOf(std::istream& in, std::streamoff size) {
    unsigned char head[3] = {};
    std::streamsize got =
        ReadAt(in, 0, reinterpret_cast<char*>(head), std::min<std::streamoff>(3, size));
    if (got >= 2 && head[0] == 0xFF && head[1] == 0xFE) return {2, 2};
    if (got >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) return {3, 1};
    return {0, 1};
}

unsigned UnitAt(const char* bytes, std::streamoff unit) {
    unsigned low = static_cast<unsigned char>(bytes[0]);
    return unit == 1 ? low : low | static_cast<unsigned char>(bytes[1]) << 8;
}

// Byte offset at which the newest `maxLines` lines begin, found by walking back from `end`;
// the start of the lines when the file changed under the walk, and the caller then keeps the
// newest lines itself.
std::streamoff FindStartOfNewest(std::istream& in, const Layout& layout, std::streamoff end,
                                 std::size_t maxLines, std::vector<char>& chunk) {
    std::size_t breaksSeen = 0;
    std::streamoff position = end;
    while (position > layout.base) {
        std::streamoff length = std::min<std::streamoff>(position - layout.base,
                                                         static_cast<std::streamoff>(chunk.size()));
        position -= length;
        if (ReadAt(in, position, chunk.data(), length) != length) return layout.base;
        for (std::streamoff i = length - layout.unit; i >= 0; i -= layout.unit) {
            if (UnitAt(&chunk[i], layout.unit) != kLineFeed) continue;
            // The line after the k-th break from the end is the k-th newest but one.
            if (++breaksSeen == maxLines) return position + i + layout.unit;
        }
    }
    return layout.base;
}

// Tells, byte by byte, whether a line is strict UTF-8 as a whole.
class Utf8Check {
  public:
    void Take(unsigned char byte) {
        if (!valid_) return;
        if (needed_ > 0) {
            valid_ = byte >= low_ && byte <= high_;
            low_ = 0x80, high_ = 0xBF;
            --needed_;
            return;
        }
        if (byte < 0x80) return;
        // The second byte's range rules out overlong forms, surrogates and what lies beyond
        // U+10FFFF.
        needed_ = byte >= 0xC2 && byte <= 0xDF   ? 1
                  : byte >= 0xE0 && byte <= 0xEF ? 2
                  : byte >= 0xF0 && byte <= 0xF4 ? 3
                                                 : 0;
        valid_ = needed_ > 0;
        if (byte == 0xE0) low_ = 0xA0;
        if (byte == 0xED) high_ = 0x9F;
        if (byte == 0xF0) low_ = 0x90;
        if (byte == 0xF4) high_ = 0x8F;
    }
    bool Valid() const { return valid_ && needed_ == 0; }

  private:
    bool valid_ = true;
    int needed_ = 0;
    unsigned char low_ = 0x80, high_ = 0xBF;
};

// The bytes of a UTF-8 line cut short, without the sequence the cut left incomplete.
std::string_view WholeSequences(std::string_view bytes) {
    std::size_t end = bytes.size(), following = 0;
    while (following < 3 && following < end && (bytes[end - 1 - following] & 0xC0) == 0x80) {
        ++following;
    }
    if (following == end) return bytes;
    unsigned char lead = static_cast<unsigned char>(bytes[end - 1 - following]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return length > following + 1 ? bytes.substr(0, end - 1 - following) : bytes;
}

// Splits a stream of units into lines, each decoded and kept to at most kMaxLineLength units.
class LineCollector {
  public:
    LineCollector(bool wide, const Fallback& fallback, std::vector<std::u16string>& lines)
        : wide_(wide), fallback_(fallback), lines_(lines) {}

    void Take(unsigned unit) {
        if (unit == kLineFeed) {
            Finish();
            return;
        }
        ++rawLength_;
        last_ = unit;
        if (wide_) {
            if (units_.size() < kMaxLineLength + 1) units_ += static_cast<char16_t>(unit);
        } else {
            check_.Take(static_cast<unsigned char>(unit));
            if (bytes_.size() < kKeptBytes) bytes_ += static_cast<char>(unit);
        }
    }

    void FinishLast() {
        if (rawLength_ > 0) lines_.push_back(Decoded());
    }

  private:
    void Finish() {
        // The CR of a CR LF break is dropped when it was kept, i.e. the line was not cut.
        if (last_ == kReturn && rawLength_ <= (wide_ ? kMaxLineLength + 1 : kKeptBytes)) {
            wide_ ? units_.pop_back() : bytes_.pop_back();
        }
        lines_.push_back(Decoded());
        units_.clear(), bytes_.clear();
        rawLength_ = 0;
        last_ = 0;
        check_ = Utf8Check();
    }

    std::u16string Decoded() {
        std::u16string text = units_;
        if (!wide_) {
            bool cut = rawLength_ > kKeptBytes;
            std::string_view kept = cut ? WholeSequences(bytes_) : std::string_view(bytes_);
            if (!check_.Valid() || !utf::DecodeUtf8(kept, text)) text = fallback_(bytes_);
        }
        text.resize(utf::CutLength(text, kMaxLineLength));
        return text;
    }

    bool wide_;
    const Fallback& fallback_;
    std::vector<std::u16string>& lines_;
    std::u16string units_;
    std::string bytes_;
    Utf8Check check_;
    std::size_t rawLength_ = 0;
    unsigned last_ = 0;
};

// The lines between `start` and `end`, the size measured before: what another process appends
// meanwhile is left for the next load.
void CollectLines(std::istream& in, const Layout& layout, std::streamoff start, std::streamoff end,
                  std::vector<char>& chunk, const Fallback& fallback,
                  std::vector<std::u16string>& lines) {
    LineCollector collector(layout.unit == 2, fallback, lines);
    for (std::streamoff position = start; position < end;) {
        std::streamoff length =
            std::min<std::streamoff>(end - position, static_cast<std::streamoff>(chunk.size()));
        std::streamsize got = ReadAt(in, position, chunk.data(), length);
        got -= got % layout.unit;
        for (std::streamsize i = 0; i < got; i += layout.unit) {
            collector.Take(UnitAt(&chunk[i], layout.unit));
        }
        if (got == 0) break;
        position += got;
    }
    collector.FinishLast();
}

}  // namespace

std::vector<std::u16string> ReadNewestLines(std::istream& in, std::size_t maxLines,
                                            const Fallback& fallback, std::size_t chunkSize) {
    std::vector<std::u16string> lines;
    if (maxLines == 0 || chunkSize == 0) return lines;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size <= 0) return lines;

    Layout layout = LayoutOf(in, size);
    std::streamoff end = size - (size - layout.base) % layout.unit;  // a unit cut short is none
    if (end <= layout.base) return lines;
    std::vector<char> chunk(
        std::max<std::size_t>(chunkSize - chunkSize % layout.unit, layout.unit));
    std::streamoff start = layout.base;
    char last[2] = {};
    if (ReadAt(in, end - layout.unit, last, layout.unit) == layout.unit) {
        // A break that ends the file closes the last line; it does not open another one.
        bool closed = UnitAt(last, layout.unit) == kLineFeed;
        start = FindStartOfNewest(in, layout, closed ? end - layout.unit : end, maxLines, chunk);
    }
    CollectLines(in, layout, start, end, chunk, fallback, lines);
    if (lines.size() > maxLines) lines.erase(lines.begin(), lines.end() - maxLines);
    return lines;
}

bool LoadNewestLines(const std::filesystem::path& path, std::size_t maxLines,
                     const Fallback& fallback, std::vector<std::u16string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return false;
    lines = ReadNewestLines(in, maxLines, fallback);
    return true;
}

namespace {

// One line as the reader reads it, from its bytes without the LF that ends it (when `closed`).
std::u16string Decoded(std::string_view raw, bool wide, bool closed, const Fallback& fallback) {
    std::u16string text;
    if (wide) {
        for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
            text += static_cast<char16_t>(static_cast<unsigned char>(raw[i]) |
                                          static_cast<unsigned char>(raw[i + 1]) << 8);
        }
        if (closed && !text.empty() && text.back() == kReturn) text.pop_back();
    } else {
        if (closed && !raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (!utf::DecodeUtf8(raw, text)) text = fallback(raw);
    }
    text.resize(utf::CutLength(text, kMaxLineLength));
    return text;
}

// A line as the box lists it: a NUL, which only a damaged file holds, ends it there.
std::u16string_view UpToNul(std::u16string_view line) {
    return line.substr(0, line.find(u'\0'));
}

}  // namespace

std::string WithoutLine(const std::string& bytes, std::u16string_view line,
                        const Fallback& fallback) {
    std::istringstream in(bytes);
    const Layout layout = LayoutOf(in, static_cast<std::streamoff>(bytes.size()));
    const std::size_t unit = static_cast<std::size_t>(layout.unit);
    std::string kept = bytes.substr(0, static_cast<std::size_t>(layout.base));
    for (std::size_t start = static_cast<std::size_t>(layout.base); start < bytes.size();) {
        std::size_t end = start;  // the first byte after the line's LF, or the file's end
        while (end + unit <= bytes.size() && UnitAt(&bytes[end], layout.unit) != kLineFeed) {
            end += unit;
        }
        bool closed = end + unit <= bytes.size();
        std::string_view raw = std::string_view(bytes).substr(start, end - start);
        end = closed ? end + unit : bytes.size();
        if (UpToNul(Decoded(raw, unit == 2, closed, fallback)) != line) {
            kept += bytes.substr(start, end - start);
        }
        start = end;
    }
    // Without a mark, a first line that now begins as one would be read as a mark (and a line
    // beginning FF FE would make the whole file read as UTF-16): it is given a mark of its own.
    bool readsAsMark =
        kept.compare(0, 2, "\xFF\xFE") == 0 || kept.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (layout.base == 0 && readsAsMark) kept.insert(0, "\xEF\xBB\xBF");
    return kept;
}

namespace {

std::string Utf16Bytes(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// What to append to a file of `size` bytes that begins with `head` and ends with `tail`.
std::string Appended(std::streamoff size, const unsigned char* head, const unsigned char* tail,
                     std::u16string_view line) {
    bool wide = size >= 2 && head[0] == 0xFF && head[1] == 0xFE;
    bool markOnly =
        size == (wide ? 2 : 3) && (wide || (head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF));
    if (!wide) {
        // A last line without a break (edited by hand, or cut short) must not swallow this one.
        bool closed = size == 0 || markOnly || tail[1] == '\n';
        // A first line that begins with U+FEFF would read as a byte order mark, and lose it:
        // the file is given a mark of its own first.
        bool markFirst = size == 0 && !line.empty() && line[0] == u'\uFEFF';
        return (closed ? "" : "\r\n") + std::string(markFirst ? "\xEF\xBB\xBF" : "") +
               utf::EncodeUtf8(line) + "\r\n";
    }
    // A UTF-16 file stays one. A lone byte at its end is made a unit, so that the lines after
    // it are read as they were written.
    bool odd = size % 2 == 1;
    bool closed = markOnly || (odd ? tail[1] == '\n' : tail[0] == '\n' && tail[1] == 0);
    std::u16string text = std::u16string(closed ? u"" : u"\r\n") + std::u16string(line) + u"\r\n";
    return (odd ? std::string(1, '\0') : "") + Utf16Bytes(text);
}

}  // namespace

bool AppendLine(const std::filesystem::path& path, std::u16string_view line) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::app | std::ios::binary);
    if (!file.is_open()) return false;
    file.seekg(0, std::ios::end);
    std::streamoff size = file.tellg();
    unsigned char head[3] = {}, tail[2] = {};
    ReadAt(file, 0, reinterpret_cast<char*>(head), std::min<std::streamoff>(size, 3));
    if (size > 0)
        ReadAt(file, std::max<std::streamoff>(size - 2, 0),
               reinterpret_cast<char*>(tail) + (size == 1), std::min<std::streamoff>(size, 2));
    file.clear();
    file.seekp(0, std::ios::end);
    std::string bytes = Appended(size, head, tail, line);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.flush();
    return static_cast<bool>(file);
}

}  // namespace torvex::history
