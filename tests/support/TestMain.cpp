// The test program's main. (In the 64-bit lane the address space below 4 GB has been taken
// before it runs: see LowAddressSpace.h.)
//
// GoogleTest hands every failed assertion to OutputDebugStringA as
// well, which under Wine raises an exception; where 32-bit Wine runs under emulation, raising one
// kills the process, so a run ended at its first failure with the rest unreported. This
// program's own calls of it (GoogleTest's) do nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/ImportTable.h"
#include "tests/support/TempShellFolder.h"

namespace {
void WINAPI NoDebugOutput(LPCSTR) {}

// Each test starts clean: an %APPDATA% of its own, new for this run and gone when it ends, so
// that a history file that a test's box made there never becomes the next test's history; and
// none of the files that the box keeps beside the program (as its plug-in folder) left by an
// earlier test or by a run that crashed, read-only ones and folders in their place included.
class CleanStart : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        folder_ = testsupport::NewTempFolder("torvex-appdata");
        folder_.pop_back();  // as Windows sets it, without the last backslash
        SetEnvironmentVariableA("APPDATA", folder_.c_str());
        char program[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, program, MAX_PATH);
        const std::string beside = std::string(program, std::strrchr(program, '\\') + 1);
        for (const char* name :
             {"history.txt", "history.txt.new", "history.counts.txt", "history.counts.txt.new"}) {
            testsupport::RemoveTree(beside + name);
        }
    }
    void OnTestEnd(const ::testing::TestInfo&) override { testsupport::RemoveTree(folder_); }
    std::string folder_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new CleanStart);
    testsupport::ImportHook quiet = {"OutputDebugStringA", reinterpret_cast<void*>(NoDebugOutput),
                                     nullptr};
    testsupport::PatchImports(GetModuleHandleA(nullptr), "kernel32.dll", &quiet, 1, true);
    return RUN_ALL_TESTS();
}
