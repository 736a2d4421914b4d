// The test program's main. (In the 64-bit lane the address space below 4 GB has been taken
// before it runs: see LowAddressSpace.h.)
//
// GoogleTest hands every failed assertion to OutputDebugStringA as
// well, which under Wine raises an exception; where 32-bit Wine runs under emulation, raising one
// kills the process, so a run ended at its first failure with the rest unreported. This
// program's own calls of it (GoogleTest's) do nothing.
#include <gtest/gtest.h>

#include "tests/support/ImportTable.h"

namespace {
void WINAPI NoDebugOutput(LPCSTR) {}
}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::ImportHook quiet = {"OutputDebugStringA", reinterpret_cast<void*>(NoDebugOutput),
                                     nullptr};
    testsupport::PatchImports(GetModuleHandleA(nullptr), "kernel32.dll", &quiet, 1, true);
    return RUN_ALL_TESTS();
}
