#pragma once
#include <string>

#include "paths/StartSpelling.h"

namespace torvex {

// `path` as the system's own programs see it. In a 32-bit process on 64-bit Windows, WOW64 shows
// SysWOW64 where %SystemRoot%\System32 is named, and programs that only the 64-bit System32 holds
// (ssh.exe, wsl.exe) cannot be found there: a path into System32 is moved into
// %SystemRoot%\Sysnative, the alias of the real folder, when it exists there. Anywhere else, and
// in a process that WOW64 does not redirect, the path is as it is.
// For looking at what is there: what is handed over to be started is spelled by StartSpelling.
std::u16string NativePath(const std::u16string& path);

// System32 and its alias, for this process; empty where WOW64 does not redirect it.
const search::Redirection& TheRedirection();

}  // namespace torvex
