#pragma once
// The history file, in plain portable C++: no window and no Win32 type, so that it can be built
// natively too. Lines are read back whole; the newest ones are found from the end of the file,
// so a file that has grown for years loads as fast as a new one.
//
// Lines are written in UTF-8, without a byte order mark. A file may also hold older lines in the
// code page of the system that wrote them: each line that is not UTF-8 is read in that code page.
// A UTF-8 byte order mark is skipped. A file that begins with the UTF-16 byte order mark (as an
// editor may save it) is read, and written on, in UTF-16 LE.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace torvex::history {

constexpr std::size_t kMaxLineLength = 4095;  // UTF-16 units
constexpr std::size_t kDefaultChunkSize = 64 * 1024;

// Reads a line that is not UTF-8, in the code page of the system that wrote it.
using Fallback = std::function<std::u16string(std::string_view bytes)>;

// The newest `maxLines` lines of `in`, oldest first, and never more. A line break (CR LF or a
// bare LF) ends a line and is dropped; a last line without one is kept. A line longer than
// kMaxLineLength is cut to that length, never inside a surrogate pair, and the rest of it
// skipped. `chunkSize` only sets how much is read at a time; short reads are read on, and bytes
// added after the size was measured wait for the next load.
std::vector<std::u16string> ReadNewestLines(std::istream& in, std::size_t maxLines,
                                            const Fallback& fallback,
                                            std::size_t chunkSize = kDefaultChunkSize);

// As above from the file at `path`; false when it cannot be opened.
bool LoadNewestLines(const std::filesystem::path& path, std::size_t maxLines,
                     const Fallback& fallback, std::vector<std::u16string>& lines);

// The bytes of a whole history file without each line that reads as `line` (up to a NUL, as the
// box lists it), every other byte as it was: the lines keep their order, their encoding and
// their breaks.
std::string WithoutLine(const std::string& bytes, std::u16string_view line,
                        const Fallback& fallback);

// Appends `line` and a CR LF line break, with a CR LF before it when the file's last line has
// none: in UTF-16 LE to a file that begins with its byte order mark, else in UTF-8. False when the
// file cannot be opened for appending or written.
bool AppendLine(const std::filesystem::path& path, std::u16string_view line);

}  // namespace torvex::history
