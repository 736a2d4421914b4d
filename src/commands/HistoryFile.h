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

// The newest `maxLines` lines of `in`, oldest first. A line break (CR LF or a bare LF) ends a
// line and is dropped; a last line without one is kept. A line longer than kMaxLineLength is cut
// to that length and the rest of it skipped. `chunkSize` only sets how much is read at a time.
std::vector<std::string> ReadNewestLines(std::istream& in, std::size_t maxLines,
                                         std::size_t chunkSize = kDefaultChunkSize);

// As above from the file at `path`; false when it cannot be opened.
bool LoadNewestLines(const std::string& path, std::size_t maxLines,
                     std::vector<std::string>& lines);

// Appends `line` and a CR LF line break; false when the file cannot be opened for appending.
bool AppendLine(const std::string& path, const std::string& line);

}  // namespace torvex::history
