#pragma once
// A file read or written whole, for the history file's rewrites and copies.
#include <string>

namespace torvex::files {

// The whole of `path`, shared with every other reader and writer; false when it cannot be read
// whole, or when it is larger than a history file is allowed to grow for this (256 MiB).
bool ReadWhole(const std::wstring& path, std::string& bytes);

// `bytes` as the whole of `path`, made anew and flushed to the disk; false when any of it fails.
bool WriteWhole(const std::wstring& path, const std::string& bytes);

// `bytes` written whole beside `path` and then moved into its place in one step, so that a crash
// or a full disk at any moment leaves the old file or the new one; false when it did not happen.
bool ReplaceWhole(const std::wstring& path, const std::string& bytes);

}  // namespace torvex::files
