#include "commands/CommandTable.h"

#include <cstring>

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

}  // namespace

const DotCommand* FindDotCommand(const char* line) {
    for (const DotCommand& command : kDotCommands) {
        if (_stricmp(line, command.line) == 0) return &command;
    }
    return nullptr;
}

}  // namespace torvex
