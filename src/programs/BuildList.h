#pragma once
// Every program the box knows, as the list's thread builds it: the user's and all users' Start
// menu shortcuts, the programs registered under App Paths, and the packaged apps. For a thread
// with COM initialised on it.
#include <string>
#include <vector>

#include "programs/ListFile.h"
#include "programs/StartMenu.h"

namespace torvex::programs {

// The user's and all users' Programs folders, where there are such; the user's first.
std::vector<std::wstring> StartMenuFolders();

// What it has so far, once `going` says no.
std::vector<Listed> BuildList(const Going& going);

}  // namespace torvex::programs
