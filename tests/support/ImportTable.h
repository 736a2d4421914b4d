#pragma once
// Replacing functions in a module's import table: the calls that module makes to them go to the
// replacements instead, while the rest of the process is left alone.
#include <windows.h>

#include <cstddef>

namespace testsupport {

struct ImportHook {
    const char* name;  // the imported function
    void* replacement;
    void* original;  // filled when installed
};

// Installs (or takes back) every hook whose function `module` imports from `dll`; returns how
// many entries it changed.
int PatchImports(HMODULE module, const char* dll, ImportHook* hooks, std::size_t count,
                 bool install);

}  // namespace testsupport
