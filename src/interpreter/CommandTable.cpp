#include "interpreter/CommandTable.h"

#include "host/ShellMessages.h"

namespace torvex {
namespace {

// In this order: the first row that matches wins.
const DotCommand kDotCommands[] = {
    {".exit", shell::kQuit, 0},
    {".quit", shell::kQuit, 0},
    {".shutdown", shell::kEndSession, shell::kShutdown},
    {".reboot", shell::kEndSession, shell::kReboot},
    {".logoff", shell::kEndSession, shell::kLogoff},
    {".hibernate", shell::kEndSession, shell::kHibernate},
    {".suspend", shell::kEndSession, shell::kSuspend},
    {".lock", shell::kEndSession, shell::kLock},
    {".run", shell::kRunDialog, 0},
    {".reconfig", shell::kReconfigure, 0},
    {".restart", shell::kRestart, 0},
    {".editstyle", shell::kEditFile, shell::kEditStyle},
    {".editmenu", shell::kEditFile, shell::kEditMenu},
    {".editplugins", shell::kEditFile, shell::kEditPlugins},
    {".editextensions", shell::kEditFile, shell::kEditExtensions},
};

wchar_t FoldAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c;
}

}  // namespace

bool IsCommand(const wchar_t* line, const char* command, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        wchar_t c = static_cast<unsigned char>(command[i]);
        if (FoldAscii(line[i]) != FoldAscii(c)) return false;
        if (c == L'\0') return true;
    }
    return true;
}

const DotCommand* FindDotCommand(const wchar_t* line) {
    for (const DotCommand& command : kDotCommands) {
        if (IsCommand(line, command.line)) return &command;
    }
    return nullptr;
}

}  // namespace torvex
