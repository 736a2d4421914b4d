#pragma once
#include <cstddef>
#include <string>

namespace torvex {

// Where history.txt is kept, chosen once at start. Installed where a shell without elevation
// cannot write (under Program Files), a history beside the plug-in would live in memory only,
// and lines removed with Shift+Delete would come back. So it is %APPDATA%\Torvex\history.txt
// when that file exists; else history.txt in `pluginFolder`, unless that can neither be
// appended to nor created: then the file in %APPDATA% is made, with its folder, as a
// byte-for-byte copy of the history beside the plug-in when that can be read. A history beside
// the plug-in that another program holds for now stays the history: the hold passes, and a copy
// made now could lose its lines. No path longer than `longest` is chosen or made. Empty when
// neither place can be had.
std::wstring ChooseHistoryFile(const std::wstring& pluginFolder, std::size_t longest);

}  // namespace torvex
