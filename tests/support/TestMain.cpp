// The test program's main. (In the 64-bit lane the address space below 4 GB has been taken
// before it runs: see LowAddressSpace.h.)
//
// GoogleTest hands every failed assertion to OutputDebugStringA as
// well, which under Wine raises an exception; where 32-bit Wine runs under emulation, raising one
// kills the process, so a run ended at its first failure with the rest unreported. This
// program's own calls of it (GoogleTest's) do nothing.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/ImportTable.h"

namespace {
void WINAPI NoDebugOutput(LPCSTR) {}

// Each test has an %APPDATA% of its own, gone when it ends: a history file that a test's box
// made there never becomes the next test's history.
class OwnAppData : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "torvex-appdata";
        CreateDirectoryA(folder_.c_str(), nullptr);
        SetEnvironmentVariableA("APPDATA", folder_.c_str());
        Clear();
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        Clear();
        RemoveDirectoryA(folder_.c_str());
    }
    void Clear() {
        for (const char* name : {"\\Torvex\\history.txt", "\\Torvex\\history.txt.new",
                                 "\\Torvex\\history.counts.txt"}) {
            SetFileAttributesA((folder_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((folder_ + name).c_str());
        }
        RemoveDirectoryA((folder_ + "\\Torvex").c_str());
    }
    std::string folder_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new OwnAppData);
    testsupport::ImportHook quiet = {"OutputDebugStringA", reinterpret_cast<void*>(NoDebugOutput),
                                     nullptr};
    testsupport::PatchImports(GetModuleHandleA(nullptr), "kernel32.dll", &quiet, 1, true);
    return RUN_ALL_TESTS();
}
