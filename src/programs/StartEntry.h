#pragma once
// An entry of the list started as Explorer starts it: a shortcut by its own file, so that its
// target, arguments, working folder and "run as administrator" flag are its own; a registered
// program by its path; a packaged app through shell:AppsFolder by its AppUserModelID.
#include <windows.h>

#include <string>

namespace torvex::programs {

// `extra`: the words typed after the entry's name, passed after its own arguments; `elevated`:
// as administrator. ERROR_SUCCESS, or why it could not be started.
DWORD StartEntry(const std::u16string& start, const std::u16string& extra, bool elevated);

}  // namespace torvex::programs
