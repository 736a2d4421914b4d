#pragma once
#include <string>

namespace torvex {

// Where history.txt is kept, chosen once at start. Installed where a shell without elevation
// cannot write (under Program Files), a history beside the plug-in would live in memory only,
// and lines removed with Shift+Delete would come back. So it is %APPDATA%\Torvex\history.txt
// when that file exists; else history.txt in `pluginFolder`, unless that can neither be
// appended to nor created: then the file in %APPDATA% is made, with its folder, as a
// byte-for-byte copy of the history beside the plug-in when there is one. A history beside the
// plug-in that cannot even be read (another program holds it) stays the history, since a copy
// would lose its lines. Empty when neither place can be had.
std::wstring ChooseHistoryFile(const std::wstring& pluginFolder);

}  // namespace torvex
