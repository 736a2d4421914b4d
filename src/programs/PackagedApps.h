#pragma once
// The packaged apps that the system lists in shell:AppsFolder, started by their AppUserModelID.
// For the list's own thread, with COM initialised on it. Where the system lists none (older
// Windows, Wine), nothing is added.
#include <vector>

#include "programs/ListFile.h"
#include "programs/StartMenu.h"

namespace torvex::programs {

inline constexpr char16_t kAppsFolder[] = u"shell:AppsFolder\\";

// Ends early once `going` says no.
void AddPackagedApps(std::vector<Listed>& list, const Going& going);

}  // namespace torvex::programs
