#pragma once
// How a path into System32 is spelled when it is handed over to be started, in a 32-bit process
// that WOW64 redirects. Plain portable C++, so that it can be built natively too: what exists is
// asked of the caller.
#include <string>

#include "paths/SearchPath.h"

namespace torvex::search {

struct Redirection {
    std::u16string system32, sysnative;  // both empty where WOW64 does not redirect this process
};

// `path` (found with System32 seen as Sysnative or not) as it is handed to ShellExecuteEx with
// `verb` (empty: the default one). Only 32-bit programs see Sysnative, so only a program image
// (.exe, .com, .bat, .cmd) in System32 that this process starts itself, with the default verb, is
// given in its Sysnative spelling, and only when the real System32 holds it. Everything else keeps
// the System32 spelling: a folder or a document opens in a 64-bit handler, a .msc or .cpl in MMC
// or the control panel, and where "runas" shows a UAC prompt no redirection happens at all.
std::u16string StartSpelling(const std::u16string& path, const std::u16string& verb,
                             const Redirection& redirection, const IsFile& isFile);

}  // namespace torvex::search
