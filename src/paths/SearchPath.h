#pragma once
// Lists of folders and extensions as PATH and PATHEXT hold them, a program found along them, and
// a path moved from one folder to another. Plain portable C++, so that it can be built natively
// too: what exists is asked of the caller.
#include <functional>
#include <string>
#include <vector>

namespace torvex::search {

// The entries of a list separated by ';', with their double quotes taken off; empty ones are
// skipped.
std::vector<std::u16string> Entries(const std::u16string& list);

// `path` inside `to` instead of `from`, when it is `from` or lies in it (letters compared
// ignoring ASCII case, either separator); empty when it does not.
std::u16string MovedFolder(const std::u16string& path, const std::u16string& from,
                           const std::u16string& to);

// Where a program's name without a folder is found, as the Run dialog finds it: in each folder in
// turn ("C:\..." or "\\server\..."; a relative one is passed over), the name as it is when it has
// an extension, then with each extension; empty when nowhere.
using IsFile = std::function<bool(const std::u16string& path)>;
std::u16string FindProgram(const std::u16string& name, const std::vector<std::u16string>& folders,
                           const std::vector<std::u16string>& extensions, const IsFile& isFile);

// A name that the Run dialog looks for along PATH: no folder, no drive, no scheme ("http:").
bool IsBareName(const std::u16string& name);

}  // namespace torvex::search
