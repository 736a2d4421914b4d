#pragma once
// The list of programs the box knows, kept in a file of its own so that the next start has it at
// once. UTF-8 text: a first line naming the format, then one entry a line, its fields apart by
// tabs: the kind (P, D or A), the key, what is started, the name. A file that is damaged,
// truncated, huge or of another version costs only the list: what cannot be read is left out.
// Plain portable C++, so that it builds natively too.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "programs/Matching.h"

namespace torvex::programs {

inline constexpr char kListFormat[] = "torvex programs 1";
inline constexpr std::size_t kMostEntries = 100000;  // a Start menu folder of 100,000 files
inline constexpr std::size_t kMostField = 4095;      // UTF-16 units, as a line

// An entry of the list, with what starts it: a shortcut's own path, a registered program's path,
// or "shell:AppsFolder\" and a packaged app's AppUserModelID.
struct Listed {
    Entry entry;
    std::u16string start;
};

std::vector<Listed> ReadList(std::string_view bytes);
// Entries that a field cannot hold (a tab, a line break, more than kMostField units, an empty
// name, key or start) are left out.
std::string WrittenList(const std::vector<Listed>& list);

}  // namespace torvex::programs
