#pragma once
// The history file, in plain portable C++: no window and no Win32 type, so that it can be built
// natively too. Lines are read back whole; the newest ones are found from the end of the file,
// so a file that has grown for years loads as fast as a new one.
#include <cstddef>
#include <istream>
#include <string>
#include <vector>

namespace torvex::history {

constexpr std::size_t kMaxLineLength = 4095;
constexpr std::size_t kDefaultChunkSize = 64 * 1024;

// The newest `maxLines` lines of `in`, oldest first, and never more. A line break (CR LF or a
// bare LF) ends a line and is dropped; a last line without one is kept. A line longer than
// kMaxLineLength is cut to that length and the rest of it skipped. `chunkSize` only sets how much
// is read at a time; short reads are read on, and bytes added after the size was measured wait
// for the next load.
std::vector<std::string> ReadNewestLines(std::istream& in, std::size_t maxLines,
                                         std::size_t chunkSize = kDefaultChunkSize);

// As above from the file at `path`; false when it cannot be opened.
bool LoadNewestLines(const char* path, std::size_t maxLines, std::vector<std::string>& lines);

// Appends `line` and a CR LF line break, with a CR LF before it when the file's last line has
// none; false when the file cannot be opened for appending or written.
bool AppendLine(const char* path, const char* line);

}  // namespace torvex::history
