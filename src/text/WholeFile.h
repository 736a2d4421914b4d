#pragma once
// A file read or written whole, for the history file's rewrites and copies.
#include <cstddef>
#include <string>

namespace torvex::files {

enum class Read { kRead, kMissing, kFailed };

// The first `most` bytes of `path` (all of a smaller file), shared with every other reader and
// writer: kMissing when there is no such file, kFailed when it cannot be read now (held, refused,
// a server away).
Read ReadStart(const std::wstring& path, std::size_t most, std::string& bytes);

// The whole of `path`, shared with every other reader and writer; false when it cannot be read
// whole, or when it is larger than a history file is allowed to grow for this (256 MiB).
bool ReadWhole(const std::wstring& path, std::string& bytes);

// `bytes` as the whole of `path`, made anew and flushed to the disk; false when any of it fails.
bool WriteWhole(const std::wstring& path, const std::string& bytes);

// `bytes` written whole beside `path` and then moved into its place in one step, so that a crash
// or a full disk at any moment leaves the old file or the new one; false when it did not happen.
bool ReplaceWhole(const std::wstring& path, const std::string& bytes);

// `path` deleted, or emptied where it cannot be deleted (another program has it open with
// FILE_SHARE_WRITE); true when nothing of it is left to read, also when there was none.
bool Erase(const std::wstring& path);

}  // namespace torvex::files
