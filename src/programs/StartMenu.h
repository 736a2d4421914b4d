#pragma once
// The shortcuts of a Start menu's Programs folder and its subfolders, read without resolving
// them: no search for a moved target, nothing that waits on a target's server or drive, so that a
// folder on a slow share delays only the thread that reads it. For a thread of the box's own,
// with COM initialised on it.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "programs/ListFile.h"

namespace torvex::programs {

constexpr std::size_t kMostDepth = 8;  // folders within the Programs folder; a loop ends there

// Adds each shortcut (.lnk) and Internet shortcut (.url) under `folder` to `list`, named as
// Explorer shows it, keyed by `keyPrefix` and its path below `folder`, started by its own path.
// A shortcut whose target is no program (and every Internet shortcut) is a document; one that
// cannot be read is left out. No more than kMostEntries in all. Ends early once `going` says no.
using Going = std::function<bool()>;
void AddShortcuts(
    const std::wstring& folder, const std::u16string& keyPrefix, std::vector<Listed>& list,
    const Going& going = [] { return true; });

}  // namespace torvex::programs
