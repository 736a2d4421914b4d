#pragma once
// Programs registered under App Paths, which the Run dialog starts by name alone.
#include <windows.h>

#include <string>

namespace quorlin {

// The program that `root`\...\App Paths registers for `name` (the key "name", else "name.exe"),
// read in the registry view `view` (0: this process's own, or KEY_WOW64_64KEY): the key's default
// value, its variables expanded and its quotes taken off; empty when there is none.
std::u16string RegisteredProgram(HKEY root, REGSAM view, const std::u16string& name);

// Where a 32-bit process on 64-bit Windows finds `name` only in the 64-bit view of
// HKEY_LOCAL_MACHINE (a 64-bit installer's programs), which ShellExecuteEx in this process does
// not read; empty anywhere else, and where its own views know the name (ShellExecuteEx finds it
// there, with the folders that the key adds to PATH).
std::u16string ProgramOnlyTheNativeViewKnows(const std::u16string& name, bool redirected);

}  // namespace quorlin
