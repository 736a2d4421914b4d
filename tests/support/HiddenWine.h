#pragma once
// Hides Wine from one module, as Windows would have it: its calls of GetProcAddress no longer
// find ntdll's wine_get_version. The box's code asks nothing of the kind; a test run once with
// Wine hidden keeps a check for Wine from coming back unnoticed (it is how the box once chose
// what to do), though it cannot show what Windows itself does.
#include <windows.h>

#include <cstring>

#include "tests/support/ImportTable.h"

namespace testsupport {

class HiddenWine {
  public:
    explicit HiddenWine(HMODULE module) : module_(module) {
        patched_ = PatchImports(module_, "kernel32.dll", &hook_, 1, true) > 0;
        original_ = reinterpret_cast<Lookup>(hook_.original);
    }
    ~HiddenWine() {
        if (patched_) PatchImports(module_, "kernel32.dll", &hook_, 1, false);
    }
    HiddenWine(const HiddenWine&) = delete;
    HiddenWine& operator=(const HiddenWine&) = delete;

  private:
    using Lookup = FARPROC(WINAPI*)(HMODULE, LPCSTR);
    static FARPROC WINAPI WithoutWine(HMODULE module, LPCSTR name) {
        bool byName = reinterpret_cast<ULONG_PTR>(name) > 0xFFFF;
        if (byName && std::strcmp(name, "wine_get_version") == 0) return nullptr;
        return original_(module, name);
    }
    static inline Lookup original_ = nullptr;
    HMODULE module_;
    ImportHook hook_ = {"GetProcAddress", reinterpret_cast<void*>(WithoutWine), nullptr};
    bool patched_ = false;
};

}  // namespace testsupport
