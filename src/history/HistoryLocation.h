#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace torvex {

// Where this box keeps history.txt: chosen at the first use, and kept.
struct HistoryPlace {
    std::wstring path;  // empty: no place could be had
    bool chosen = false;
};

// The use counts' file, kept beside history.txt wherever that is.
inline constexpr wchar_t kCountsFileName[] = L"history.counts.txt";

// Where history.txt is kept, chosen once at start. Installed where a shell without elevation
// cannot write (under Program Files), a history beside the plug-in would live in memory only,
// and lines removed with Shift+Delete would come back. So it is %APPDATA%\Torvex\history.txt
// when that file exists; else history.txt in `pluginFolder`, unless access to it is refused
// (read-only, or neither appended to nor created): then the file in %APPDATA% is made, with its
// folder, as a byte-for-byte copy of the history beside the plug-in when that can be read, its
// use counts copied beside it. Any other failure passes (a file that another program holds, a
// cloud file whose provider has not started, a share not reachable yet): the history beside the
// plug-in stays the history, and a copy made now could lose its lines for good. The counts file
// moves along: none is left behind to be read again should the history come back.
// `virtualized`: the process runs under UAC virtualisation, where a write under Program Files
// seems to succeed but goes to the user's VirtualStore, which the day virtualisation stops is
// never read again. The plug-in folder then counts as refused, and the copy is of what this
// process reads there (the VirtualStore's copy, when there is one).
// No path longer than `longest` is chosen or made. Empty when neither place can be had.
std::wstring ChooseHistoryFile(const std::wstring& pluginFolder, std::size_t longest,
                               bool virtualized);

// Both folders that the history may be kept in, each with its trailing backslash: beside the
// plug-in, and in %APPDATA% (where there is one).
std::vector<std::wstring> HistoryFolders(const std::wstring& pluginFolder);

// Whether UAC virtualisation is on for this process.
bool ProcessIsVirtualized();

}  // namespace torvex
