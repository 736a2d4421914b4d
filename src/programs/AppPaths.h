#pragma once
// The programs registered under App Paths, which the Run dialog starts by name alone: the user's
// and the machine's, in both registry views on 64-bit Windows. For the list's own thread.
#include <vector>

#include "programs/ListFile.h"
#include "programs/StartMenu.h"

namespace torvex::programs {

inline constexpr wchar_t kAppPathsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// Each registered program once, named by its key without ".exe", started by the path that the
// key's default value names.
// Ends early once `going` says no.
void AddAppPaths(
    std::vector<Listed>& list, const Going& going = [] { return true; });

}  // namespace torvex::programs
