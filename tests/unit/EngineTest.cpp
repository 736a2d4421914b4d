// The command engine: how it splits a line, and the real quorlin.dll running a program.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "paths/SearchPath.h"
#include "paths/StartSpelling.h"
#include "engine/CommandLine.h"
#include "tests/support/Argdump.h"
#include "tests/support/ImportTable.h"
#include "tests/support/KeptThread.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/Text.h"

namespace {

typedef void (*EngineEntry)(void);

TEST(EngineCommandLine, SplitsWhatToRunFromItsArguments) {
    auto split = [](const char* line) {
        quorlin::Command command = quorlin::Split(testsupport::U16(line));
        return testsupport::Utf8(command.program + u"|" + command.arguments);
    };
    EXPECT_EQ(split("notepad"), "notepad|");
    EXPECT_EQ(split("  notepad   a.txt  b "), "notepad|a.txt  b ");
    EXPECT_EQ(split("\"C:\\Program Files\\x y.exe\" -a \"q r\""),
              "C:\\Program Files\\x y.exe|-a \"q r\"");
    EXPECT_EQ(split("\"C:\\open quote"), "C:\\open quote|");
    EXPECT_EQ(split("http://example.org/a b"), "http://example.org/a|b");
    EXPECT_EQ(split("\"C:\\My Folder\\\\\" x"), "C:\\My Folder\\|x") << "as Tab writes it";
    EXPECT_EQ(split("\"C:\\Program Files\\\""), "C:\\Program Files\\|")
        << "as the Run dialog takes it";
    EXPECT_EQ(split("\"C:\\a b\\\" \"x\\\" y\""), "C:\\a b\\|\"x\\\" y\"")
        << "arguments keep argv's rules";

    // Unquoted, a first word that names nothing is taken as far as the line names a file.
    const std::set<std::string> existing = {"C:\\Program Files\\App\\app.exe", "C:\\a", "C:\\a b",
                                            "C:\\Program Files", "C:\\work\\data.txt"};
    auto exists = [&](const std::u16string& path) {  // as Windows reads a path, from C:\work
        std::wstring asked(path.begin(), path.end()), full(MAX_PATH, L'\0');
        if (asked.size() < 2 || asked[1] != L':') asked = L"C:\\work\\" + asked;
        full.resize(GetFullPathNameW(asked.c_str(), MAX_PATH, &full[0], nullptr));
        return existing.count(testsupport::Utf8(full)) != 0;
    };
    auto runDialog = [&](const char* line) {
        quorlin::Command command = quorlin::Split(testsupport::U16(line), exists);
        return testsupport::Utf8(command.program + u"|" + command.arguments);
    };
    EXPECT_EQ(runDialog("C:\\Program Files\\App\\app.exe -x \"y\""),
              "C:\\Program Files\\App\\app.exe|-x \"y\"");
    EXPECT_EQ(runDialog("C:\\Program Files  "), "C:\\Program Files|");
    EXPECT_EQ(runDialog("C:\\a b"), "C:\\a|b") << "a first word that exists stays";
    EXPECT_EQ(runDialog("notepad read me.txt"), "notepad|read me.txt");
    EXPECT_EQ(runDialog("someprog ..\\..\\data.txt"), "someprog|..\\..\\data.txt")
        << "an argument that climbs out of a folder takes no word before it away";
}

// A name alone is looked for along PATH, folder by folder, as it is and with each extension; a
// path into System32 is moved into the folder that stands for it, and no other path.
TEST(EngineCommandLine, FindsProgramsAlongThePathAndMovesOnlyPathsIntoTheFolder) {
    const std::set<std::string> files = {"c:\\a\\tool.cmd", "c:\\b\\tool.exe", "c:\\b\\x.txt",
                                         "c:\\b\\ssh.exe", "bin\\ssh.exe"};
    auto isFile = [&](const std::u16string& path) {  // names in any case, as Windows finds them
        std::string name = testsupport::Utf8(path);
        CharLowerA(&name[0]);
        return files.count(name) != 0;
    };
    auto find = [&](const char* name) {
        return testsupport::Utf8(torvex::search::FindProgram(
            testsupport::U16(name), torvex::search::Entries(u"bin;\"C:\\a\\\";;C:\\b"),
            torvex::search::Entries(u".EXE;.CMD"), isFile));
    };
    EXPECT_EQ(find("tool"), "C:\\a\\tool.CMD") << "the first folder first, then extensions";
    EXPECT_EQ(find("x.txt"), "C:\\b\\x.txt") << "a name with its extension, as it is";
    EXPECT_EQ(find("ssh"), "C:\\b\\ssh.EXE") << "a relative folder passed over";
    EXPECT_EQ(find("none"), "");
    EXPECT_TRUE(torvex::search::IsBareName(u"ssh"));
    for (const char16_t* name : {u"C:ssh", u"bin\\ssh", u"ms-settings:", u""}) {
        EXPECT_FALSE(torvex::search::IsBareName(name)) << testsupport::Utf8(name);
    }

    auto moved = [](const char* path) {
        return testsupport::Utf8(torvex::search::MovedFolder(
            testsupport::U16(path), u"C:\\Windows\\System32\\", u"C:\\Windows\\Sysnative"));
    };
    EXPECT_EQ(moved("c:/windows/SYSTEM32\\OpenSSH\\ssh.exe"),
              "C:\\Windows\\Sysnative\\OpenSSH\\ssh.exe");
    EXPECT_EQ(moved("C:\\Windows\\System32"), "C:\\Windows\\Sysnative");
    EXPECT_EQ(moved("C:\\Windows\\System32x\\a.exe"), "") << "another folder";
    EXPECT_EQ(moved("D:\\Windows\\System32\\a.exe"), "");
}

// Only 32-bit programs see Sysnative: what this process starts itself with the default verb is
// given in that spelling when the real System32 holds it, whatever else is handed over keeps (or
// gets back) the System32 spelling, and without redirection every path is as it is.
TEST(EngineCommandLine, SpellsSystem32SoThatWhoeverOpensItFindsIt) {
    const std::set<std::string> real = {
        // the real System32's files, as this process sees them
        "c:\\windows\\sysnative\\cmd.exe", "c:\\windows\\sysnative\\openssh\\ssh.exe",
        "c:\\windows\\sysnative\\setup.bat", "c:\\windows\\sysnative\\services.msc",
        "c:\\windows\\sysnative\\drivers\\etc\\hosts"};
    auto isFile = [&](const std::u16string& path) {
        std::string name = testsupport::Utf8(path);
        CharLowerA(&name[0]);
        return real.count(name) != 0;
    };
    const torvex::search::Redirection wow64 = {u"C:\\Windows\\System32", u"C:\\Windows\\Sysnative"};
    struct Row {
        const char* path;
        const char16_t* verb;
        const char* redirected;  // what is handed over in a 32-bit process on 64-bit Windows
    };
    const Row rows[] = {
        {"C:\\Windows\\System32\\drivers\\etc", u"", "C:\\Windows\\System32\\drivers\\etc"},
        {"C:\\Windows\\System32\\drivers\\etc\\hosts", u"",
         "C:\\Windows\\System32\\drivers\\etc\\hosts"},
        {"C:\\Windows\\Sysnative\\services.msc", u"", "C:\\Windows\\System32\\services.msc"},
        {"C:\\Windows\\Sysnative\\ncpa.cpl", u"", "C:\\Windows\\System32\\ncpa.cpl"},
        {"C:\\Windows\\Sysnative\\cmd.exe", u"runas", "C:\\Windows\\System32\\cmd.exe"},
        {"C:\\Windows\\Sysnative\\cmd.exe", u"", "C:\\Windows\\Sysnative\\cmd.exe"},
        {"C:\\Windows\\System32\\cmd.exe", u"Open", "C:\\Windows\\Sysnative\\cmd.exe"},
        {"c:\\windows\\system32\\OpenSSH\\ssh.EXE", u"",
         "C:\\Windows\\Sysnative\\OpenSSH\\ssh.EXE"},
        {"C:\\Windows\\System32\\setup.bat", u"", "C:\\Windows\\Sysnative\\setup.bat"},
        {"C:\\Windows\\System32\\only32.exe", u"", "C:\\Windows\\System32\\only32.exe"},
        {"C:\\Windows\\System32\\cmd.exe.txt", u"", "C:\\Windows\\System32\\cmd.exe.txt"},
        {"D:\\Tools\\tool.exe", u"", "D:\\Tools\\tool.exe"},
    };
    for (const Row& row : rows) {
        const std::u16string path = testsupport::U16(row.path);
        EXPECT_EQ(testsupport::Utf8(torvex::search::StartSpelling(path, row.verb, wow64, isFile)),
                  row.redirected)
            << row.path << " " << testsupport::Utf8(row.verb);
        EXPECT_EQ(testsupport::Utf8(torvex::search::StartSpelling(path, row.verb, {}, isFile)),
                  row.path)
            << "not redirected";
    }
}

TEST(EngineCommandLine, LeavesBlankAndBroadcastLinesAlone) {
    EXPECT_FALSE(quorlin::IsForEngine(u""));
    EXPECT_FALSE(quorlin::IsForEngine(u" \t "));
    EXPECT_FALSE(quorlin::IsForEngine(u"@NMShowPlugins"));
    EXPECT_TRUE(quorlin::IsForEngine(u"notepad"));
}

class QuorlinDll : public ::testing::Test {
  protected:
    void SetUp() override {
        engine_ = LoadLibraryA("quorlin.dll");
        ASSERT_NE(engine_, nullptr);
        entry_ =
            reinterpret_cast<EngineEntry>(reinterpret_cast<void*>(GetProcAddress(engine_, "EC")));
        ASSERT_NE(entry_, nullptr);
        box_ = CreateWindowExA(WS_EX_TOOLWINDOW, "Edit", nullptr, WS_POPUP | ES_AUTOHSCROLL, 0, 0,
                               100, 20, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(box_);
        FreeLibrary(engine_);
    }
    void RunLine(const std::string& line) {
        SetWindowTextA(box_, line.c_str());
        entry_();
    }
    static std::string Folder() {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string text = path;
        return text.substr(0, text.find_last_of('\\') + 1);
    }

    HMODULE engine_ = nullptr;
    EngineEntry entry_ = nullptr;
    HWND box_ = nullptr;
};

// The helper lies in a folder with a blank in its name: named through a variable in quotes, and
// written out without quotes, as the Run dialog takes it (also from the drive's root). It starts in
// the user's profile folder and gets its arguments as they were meant, a quoted folder ending in a
// backslash among them (as Tab completion writes one).
TEST_F(QuorlinDll, RunsProgramsQuotedOrNotWithTheirArgumentsInTheProfileFolder) {
    std::string output = Folder() + "argdump.out";
    std::string profile = Folder() + "helper dir";
    std::string tests = Folder().substr(0, Folder().size() - 1);  // as Windows sets it: no "\\"
    char savedProfile[MAX_PATH] = "";
    GetEnvironmentVariableA("USERPROFILE", savedProfile, MAX_PATH);
    SetEnvironmentVariableA("TORVEX_ARGDUMP_FILE", output.c_str());
    SetEnvironmentVariableA("TORVEX_HELPER_DIR", profile.c_str());
    SetEnvironmentVariableA("TORVEX_WORD", "expanded");
    using Lines = std::vector<std::string>;
    struct Run {
        std::string profile, line;
        Lines expected;
    };
    const Run runs[] = {
        {profile,
         "\"%TORVEX_HELPER_DIR%\\argdump.exe\" one \"two words\" %TORVEX_WORD%",
         {profile, "one", "two words", "expanded"}},
        {profile,
         profile + "\\argdump.exe -x \"" + profile + "\\My Folder\\\\\" end",
         {profile, "-x", profile + "\\My Folder\\", "end"}},
        {profile, profile.substr(2) + "\\argdump.exe end", {profile, "end"}},  // this drive
        {tests, "helper dir\\argdump.exe end", {tests, "end"}},  // from the profile folder
        {profile,
         "torvexwide.exe end",
         {profile, "end"}},  // App Paths, as a 64-bit installer writes
    };
    const char kWide[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\torvexwide.exe";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kWide, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::string registered = profile + "\\argdump.exe";
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(registered.c_str()),
                   static_cast<DWORD>(registered.size() + 1));
    RegCloseKey(key);
    testsupport::ModalDriver closer;
    for (const auto& [home, line, expected] : runs) {
        SetEnvironmentVariableA("USERPROFILE", home.c_str());
        DeleteFileA(output.c_str());
        RunLine(line);
        EXPECT_EQ(testsupport::WaitForArgdump(output), expected) << line;
    }
    // In a 32-bit process on 64-bit Windows, a full path into System32 means the 64-bit one
    // (ssh.exe lies in System32\OpenSSH alone): what this process starts is found there.
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    if (wow64) {
        char windows[MAX_PATH] = "";
        GetSystemWindowsDirectoryA(windows, MAX_PATH);
        const std::string folder = std::string(windows) + "\\System32\\torvex-wow64";
        auto inNativeSystem32 = [](const std::function<void()>& work) {  // the 64-bit one
            void* redirection = nullptr;
            ASSERT_TRUE(Wow64DisableWow64FsRedirection(&redirection));
            work();
            Wow64RevertWow64FsRedirection(redirection);
        };
        bool copied = false;
        inNativeSystem32([&] {
            CreateDirectoryA(folder.c_str(), nullptr);
            copied = CopyFileA((profile + "\\argdump.exe").c_str(),
                               (folder + "\\argdump.exe").c_str(), FALSE);
        });
        ASSERT_TRUE(copied);
        SetEnvironmentVariableA("USERPROFILE", profile.c_str());
        DeleteFileA(output.c_str());
        RunLine(folder + "\\argdump.exe end");
        EXPECT_EQ(testsupport::WaitForArgdump(output), (Lines{profile, "end"}))
            << "64-bit System32";
        inNativeSystem32([&] {
            DeleteFileA((folder + "\\argdump.exe").c_str());
            RemoveDirectoryA(folder.c_str());
        });
    }
    EXPECT_TRUE(closer.Seen().empty());
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kWide, KEY_WOW64_64KEY, 0);
    DeleteFileA(output.c_str());
    SetEnvironmentVariableA("USERPROFILE", savedProfile);
}

TEST_F(QuorlinDll, NamesTheLineAndTheReasonWhenItCannotRunIt) {
    testsupport::ModalDriver closer;
    RunLine("torvex-no-such-program --flag");
    RunLine("   ");
    RunLine("@NMShowPlugins");
    auto seen = closer.Seen();
    ASSERT_EQ(seen.size(), 1u) << "blank and broadcast lines are not the engine's";
    EXPECT_NE(seen[0].text.find("'torvex-no-such-program --flag'"), std::string::npos)
        << seen[0].text;
    EXPECT_GT(seen[0].text.size(),
              std::string("Cannot run 'torvex-no-such-program --flag'.\n\n").size())
        << "the system's reason follows";
}

// As administrator: the engine asks for the verb "runas". The user saying no to the prompt
// (ERROR_CANCELLED) is no failure to tell about; any other failure is.
std::wstring verbAskedFor, fileAskedFor, argumentsGiven;
DWORD failureGiven = 0;
BOOL WINAPI FailingShellExecute(SHELLEXECUTEINFOW* info) {
    verbAskedFor = info->lpVerb != nullptr ? info->lpVerb : L"";
    fileAskedFor = info->lpFile != nullptr ? info->lpFile : L"";
    argumentsGiven = info->lpParameters != nullptr ? info->lpParameters : L"";
    SetLastError(failureGiven);
    return FALSE;
}

TEST_F(QuorlinDll, RunsAsAdministratorWithTheVerbRunas) {
    testsupport::ImportHook hook = {"ShellExecuteExW", reinterpret_cast<void*>(FailingShellExecute),
                                    nullptr};
    ASSERT_EQ(testsupport::PatchImports(engine_, "shell32.dll", &hook, 1, true), 1);
    using RunWithVerb = void (*)(const wchar_t*, const wchar_t*);
    auto run =
        reinterpret_cast<RunWithVerb>(reinterpret_cast<void*>(GetProcAddress(engine_, "ECWV")));
    ASSERT_NE(run, nullptr);
    testsupport::ModalDriver closer;
    for (DWORD failure : {DWORD{ERROR_CANCELLED}, DWORD{ERROR_FILE_NOT_FOUND}}) {
        failureGiven = failure;
        run(L"notepad", L"runas");
        EXPECT_EQ(verbAskedFor, L"runas");
        // What runs is the program found, by its full path, spelled System32 in any process:
        // where the UAC prompt shows, no redirection happens, and Sysnative is no folder.
        wchar_t windows[MAX_PATH] = L"";
        GetSystemWindowsDirectoryW(windows, MAX_PATH);
        std::wstring expected = std::wstring(windows) + L"\\system32";
        EXPECT_EQ(_wcsicmp(fileAskedFor.c_str(), (expected + L"\\notepad.exe").c_str()), 0)
            << testsupport::Utf8(fileAskedFor);
    }
    EXPECT_EQ(closer.Seen().size(), 1u) << "only the real failure is told";
    // A line of 4,095 units runs whole, with Enter and elevated alike; one of 4,096 is not run cut.
    failureGiven = ERROR_CANCELLED;
    auto runPlain = reinterpret_cast<void (*)(const wchar_t*)>(
        reinterpret_cast<void*>(GetProcAddress(engine_, "ECW")));
    ASSERT_NE(runPlain, nullptr);
    for (std::size_t units : {4095, 4096}) {
        const std::wstring arguments(units - std::wcslen(L"notepad "), L'x');
        const std::wstring line = L"notepad " + arguments;
        for (const wchar_t* verb : {static_cast<const wchar_t*>(nullptr), L"runas"}) {
            argumentsGiven.clear(), fileAskedFor.clear();
            verb ? run(line.c_str(), verb) : runPlain(line.c_str());
            EXPECT_EQ(argumentsGiven, units < 4096 ? arguments : L"") << units;
            EXPECT_EQ(fileAskedFor.empty(), units == 4096) << units;
        }
    }
    EXPECT_EQ(closer.Seen().size(), 1u);
    testsupport::PatchImports(engine_, "shell32.dll", &hook, 1, false);
}

// COM is initialised as a single-threaded apartment around ShellExecuteEx, as its documentation
// asks. A thread already in another apartment goes on in it, and every initialisation that
// succeeded is undone: the caller's thread is given back as it came.
APTTYPE apartmentSeen = APTTYPE_CURRENT;
ULONG maskSeen = 0;
BOOL WINAPI RecordApartment(SHELLEXECUTEINFOW* info) {
    maskSeen = info->fMask;
    APTTYPEQUALIFIER qualifier;
    if (FAILED(CoGetApartmentType(&apartmentSeen, &qualifier))) apartmentSeen = APTTYPE_CURRENT;
    SetLastError(ERROR_CANCELLED);  // nothing to tell
    return FALSE;
}

TEST_F(QuorlinDll, RunsInASingleThreadedApartmentAndGivesTheThreadBackAsItCame) {
    testsupport::ImportHook hook = {"ShellExecuteExW", reinterpret_cast<void*>(RecordApartment),
                                    nullptr};
    ASSERT_EQ(testsupport::PatchImports(engine_, "shell32.dll", &hook, 1, true), 1);
    auto run = reinterpret_cast<void (*)(const wchar_t*)>(
        reinterpret_cast<void*>(GetProcAddress(engine_, "ECW")));
    ASSERT_NE(run, nullptr);
    const int kNone = -1;
    struct Case {
        int callerInit;  // kNone, or the caller's own CoInitializeEx
        APTTYPE during;
    };
    for (const Case& row : {Case{kNone, APTTYPE_STA}, Case{COINIT_APARTMENTTHREADED, APTTYPE_STA},
                            Case{COINIT_MULTITHREADED, APTTYPE_MTA}}) {
        HRESULT afterwards = S_OK, stillIn = S_FALSE, comCall = S_OK;
        testsupport::KeptThread caller([&] {
            if (row.callerInit != kNone) CoInitializeEx(nullptr, row.callerInit);
            apartmentSeen = APTTYPE_CURRENT;
            run(L"notepad");
            if (row.callerInit != kNone) {
                // The caller's COM works as before: it is still in its apartment (initialising
                // it again only counts), and an object can be made.
                stillIn = CoInitializeEx(nullptr, row.callerInit);
                if (SUCCEEDED(stillIn)) CoUninitialize();
                IUnknown* link = nullptr;
                comCall = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IUnknown, reinterpret_cast<void**>(&link));
                if (link != nullptr) link->Release();
                CoUninitialize();
            }
            // Balanced: the thread is in no apartment now, so it can enter either.
            afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (SUCCEEDED(afterwards)) CoUninitialize();
        });
        caller.Join();
        // The first single-threaded apartment of a process is its main one.
        APTTYPE seen = apartmentSeen == APTTYPE_MAINSTA ? APTTYPE_STA : apartmentSeen;
        EXPECT_EQ(seen, row.during) << row.callerInit;
        EXPECT_EQ(afterwards, S_OK) << row.callerInit;
        EXPECT_EQ(stillIn, S_FALSE) << row.callerInit;
        EXPECT_EQ(comCall, S_OK) << row.callerInit;
        EXPECT_NE(maskSeen & SEE_MASK_NOASYNC, 0u) << "done before COM is given back";
    }
    testsupport::PatchImports(engine_, "shell32.dll", &hook, 1, false);
}

}  // namespace
