// The real torvex.dll, loaded into this program, which stands in for Nimbar.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <set>
#include <string>

#include "Version.h"
#include "tests/support/ProcessMemory.h"
#include "tests/support/RealPlugin.h"
#include "tests/support/Shortcut.h"
#include "tests/support/TempShellFolder.h"

namespace {

class TorvexDll : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = LoadLibraryA("torvex.dll");
        ASSERT_NE(module_, nullptr) << "error " << GetLastError();
    }
    void TearDown() override { FreeLibrary(module_); }

    HMODULE module_ = nullptr;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The loaded image's headers and directories, as the loader found them in the file.
struct Image {
    explicit Image(HMODULE module)
        : base(reinterpret_cast<const BYTE*>(module)),
          nt(reinterpret_cast<const IMAGE_NT_HEADERS*>(
              base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew)) {}
    template <typename T>
    const T* At(DWORD rva) const {
        return reinterpret_cast<const T*>(base + rva);
    }
    const IMAGE_DATA_DIRECTORY& Directory(int entry) const {
        return nt->OptionalHeader.DataDirectory[entry];
    }
    const BYTE* base;
    const IMAGE_NT_HEADERS* nt;
};

// A DLL of this program's lane (PE32 for the 32-bit shell, PE32+ for a 64-bit one) that exports
// its four functions by their plain names and imports from system DLLs and "Nimbar.exe" only.
TEST_F(TorvexDll, IsADllOfThisLaneWithPlainExportsAndOnlySystemImports) {
    Image image(module_);
    EXPECT_EQ(image.nt->OptionalHeader.Magic, sizeof(void*) == 8 ? 0x20B : 0x10B);
    EXPECT_EQ(image.nt->FileHeader.Machine,
              sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386);
    EXPECT_TRUE(image.nt->FileHeader.Characteristics & IMAGE_FILE_DLL);

    auto exports = image.At<IMAGE_EXPORT_DIRECTORY>(
        image.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress);
    std::set<std::string> exported;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        exported.insert(image.At<char>(image.At<DWORD>(exports->AddressOfNames)[i]));
    }
    EXPECT_EQ(exported,
              (std::set<std::string>{"beginPlugin", "beginPluginEx", "endPlugin", "pluginInfo"}));

    // System DLLs only: COM and the shell's for the Start menu's shortcuts.
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "gdi32.dll",
                                           "advapi32.dll", "msvcrt.dll", "ole32.dll",
                                           "shell32.dll",  "nimbar.exe"};
    std::set<std::string> imported;
    const IMAGE_DATA_DIRECTORY& imports = image.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    auto descriptor = image.At<IMAGE_IMPORT_DESCRIPTOR>(imports.VirtualAddress);
    for (; imports.VirtualAddress != 0 && descriptor->Name != 0; ++descriptor) {
        imported.insert(Lower(image.At<char>(descriptor->Name)));
    }
    EXPECT_TRUE(imported.count("nimbar.exe")) << "the shell's functions come from Nimbar.exe";
    for (const std::string& name : imported) {
        EXPECT_TRUE(allowed.count(name)) << "unexpected dependency " << name;
    }
}

// The process's handles, counted by asking each value: Wine answers GetProcessHandleCount with 0.
int OpenHandles() {
    constexpr std::uintptr_t kHighestAsked = 0x10000;
    int open = 0;
    DWORD flags = 0;
    for (std::uintptr_t value = 4; value < kHighestAsked; value += 4) {
        open += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    return open;
}

// Found by the soak: each load and unload of a DLL of ours (the engine at every restart of the
// plug-in, the plug-in at every restart of the shell) leaked the pool that the statically linked
// C++ runtime takes at load, about 19 KiB. And the record that the thread library linked into it
// keeps for the loading thread: a handle to that thread, an event, and a TLS index, of which a
// process has 1,088 (so that the shell's thousandth restart of the plug-in would abort it).
TEST(OurDlls, UnloadingGivesBackWhatLoadingTook) {
    constexpr int kCycles = 40;
    constexpr SIZE_T kAllowed = 256 * 1024;  // before: about 1.5 MB for these 80 cycles
    testsupport::TempShellFolder folder{"torvex-unload"};
    for (const char* name : {"torvex.dll", "quorlin.dll"}) {
        ASSERT_TRUE(CopyFileA(name, (folder.path() + name).c_str(), FALSE));
    }
    auto cycle = [&] {
        for (const char* name : {"torvex.dll", "quorlin.dll"}) {
            HMODULE module = LoadLibraryA((folder.path() + name).c_str());
            ASSERT_NE(module, nullptr);
            FreeLibrary(module);
        }
    };
    cycle();  // the first load may take what stays for good
    SIZE_T before = testsupport::CommittedPrivateBytes();
    const int handlesBefore = OpenHandles();
    const DWORD firstFreeIndex = TlsAlloc();
    TlsFree(firstFreeIndex);
    for (int i = 0; i < kCycles; ++i) cycle();
    EXPECT_LT(testsupport::CommittedPrivateBytes(), before + kAllowed);
    // Two events a cycle stay: the lock of the thread library's keys, made when the plug-in's
    // runtime deletes its key at unload, which the library never destroys. (Before: two more, and
    // a TLS index, for each DLL.)
    EXPECT_LE(OpenHandles(), handlesBefore + 2 * kCycles + 2);
    const DWORD index = TlsAlloc();
    TlsFree(index);
    EXPECT_EQ(index, firstFreeIndex) << "no TLS index kept by a DLL that is gone";
    for (const char* name : {"torvex.dll", "quorlin.dll"}) {
        DeleteFileA((folder.path() + name).c_str());
    }
}

// The same for a plug-in started and stopped before each unload, as the shell restarts it: the
// box's worker, which gives back the last reference on the DLL from its own thread, must not make
// the loading thread's record stay. The Start menu holds a few hundred shortcuts, so that most
// stops come while the list's thread is still reading them.
using Restarts = testsupport::RealPlugin;
TEST_F(Restarts, AStartedPluginUnloadedGivesBackWhatLoadingTook) {
    constexpr int kCycles = 40;
    constexpr int kShortcuts = 300;
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    wchar_t appData[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    const std::wstring menu = std::wstring(appData) + L"\\Start Menu\\";
    ASSERT_TRUE(testsupport::MakeShortcut(menu + L"Tool 0.lnk", L"C:\\windows\\notepad.exe"));
    for (int i = 1; i < kShortcuts; ++i) {
        CopyFileW((menu + L"Tool 0.lnk").c_str(),
                  (menu + L"Tool " + std::to_wstring(i) + L".lnk").c_str(), FALSE);
    }
    CoUninitialize();
    for (bool docked : {false, true}) {  // the first start may take what stays for good
        Start({"recording_engine.dll", docked});
        Stop();
    }
    const int handlesBefore = OpenHandles();
    const DWORD firstFreeIndex = TlsAlloc();
    TlsFree(firstFreeIndex);
    for (int i = 0; i < kCycles; ++i) {
        Start({"recording_engine.dll", i % 2 == 0});
        Run("a");  // the counts to write at stop, on the worker
        Stop();
    }
    // As above, two events a cycle, and a few more that do not grow with the cycles.
    EXPECT_LE(OpenHandles(), handlesBefore + 2 * kCycles + 8) << handlesBefore;
    const DWORD index = TlsAlloc();
    TlsFree(index);
    EXPECT_EQ(index, firstFreeIndex) << "no TLS index kept by a DLL that is gone";
}

TEST_F(TorvexDll, CarriesItsNameAndVersion) {
    char path[MAX_PATH];
    GetModuleFileNameA(module_, path, MAX_PATH);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::string data(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, &data[0]));
    auto value = [&](const char* name) {
        char* text = nullptr;
        UINT length = 0;
        std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(&data[0], key.c_str(), reinterpret_cast<void**>(&text), &length)) {
            return std::string();
        }
        return std::string(text);
    };
    EXPECT_EQ(value("ProductName"), "Torvex");
    EXPECT_EQ(value("FileVersion"), TORVEX_VERSION_TEXT) << "the release's version";
    EXPECT_EQ(value("ProductVersion"), TORVEX_VERSION_TEXT);
    EXPECT_EQ(value("FileDescription").find("64-bit") != std::string::npos, sizeof(void*) == 8)
        << value("FileDescription");
}

}  // namespace
