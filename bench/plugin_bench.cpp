// The real torvex.dll in a stand-in shell: how long a start with a full history takes, one typed
// key with its repaint, one paint; and the process's private memory and GDI objects after start
// and after 10,000 keys. Named Nimbar.exe, so that the plug-in's imports resolve to it.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "host/ShellMessages.h"
#include "shell/PluginExports.h"
#include "shell/StandIn.h"
#include "tests/support/GdiCounter.h"
#include "tests/support/ProcessMemory.h"

namespace {

constexpr int kHistoryLines = 600;  // more than the 512 the list holds
constexpr int kHeldLines = 512;
constexpr int kStarts = 10;
constexpr int kKeys = 10000;
constexpr int kTurns = 60;  // paired turns, box against bare Edit
constexpr int kKeysPerTurn = 20;
constexpr int kReconfigures = 100;
constexpr int kPaints = 1000;
constexpr int kKeysBetweenPumps = 100;
constexpr int kFolderEntries = 20000;
constexpr int kTabRuns = 10;
constexpr LPARAM kKeyDownFlags = 1;         // repeat count 1
constexpr LPARAM kKeyUpFlags = 0xC0000001;  // repeat count 1, was down, going up
const char kEditClass[] = "Edit";

double NowMicroseconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1e6 / frequency.QuadPart;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

void WriteSettings(const std::string& folder, bool suggest, bool programs = true) {
    std::ofstream(folder + "torvex.rc")
        << "torvex.x: 100\ntorvex.y: 100\ntorvex.width: 300\n"
           "torvex.inslit: false\ntorvex.suggest: "
        << (suggest ? "true" : "false") << "\ntorvex.programs: " << (programs ? "true" : "false")
        << "\n";
}

void WriteFiles(const std::string& folder) {
    std::ofstream history(folder + "history.txt", std::ios::binary);
    for (int i = 0; i < kHistoryLines; ++i) history << "notepad file" << i << ".txt\r\n";
    WriteSettings(folder, true);
    // A real style's textures: a gradient toolbar and a bevelled label inside it.
    std::ofstream(folder + "style.rc")
        << "toolbar: Raised Gradient Vertical\ntoolbar.color: #30507a\n"
           "toolbar.colorTo: #a0b8d8\ntoolbar.label: Sunken Gradient Diagonal Bevel2\n"
           "toolbar.label.color: #20304a\ntoolbar.label.colorTo: #607890\n"
           "toolbar.label.textColor: #f0f0f0\nbevelWidth: 2\nborderWidth: 1\n"
           "toolbar.fontHeight: 14\n";
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

struct Plugin {
    HMODULE module = nullptr;
    standin::BeginPluginEx begin = nullptr;
    standin::EndPlugin end = nullptr;
};

Plugin Load(const std::string& folder) {
    Plugin plugin;
    plugin.module = LoadLibraryA((folder + "torvex.dll").c_str());
    if (plugin.module == nullptr) return plugin;
    plugin.begin = standin::Export<standin::BeginPluginEx>(plugin.module, "beginPluginEx");
    plugin.end = standin::Export<standin::EndPlugin>(plugin.module, "endPlugin");
    return plugin;
}

// A key as the box receives it from the message loop, then the repaint that it asked for.
double TypeKey(HWND box, WPARAM key, char character) {
    double start = NowMicroseconds();
    SendMessageA(box, WM_KEYDOWN, key, kKeyDownFlags);
    if (character != 0) SendMessageA(box, WM_CHAR, static_cast<WPARAM>(character), kKeyDownFlags);
    SendMessageA(box, WM_KEYUP, key, kKeyUpFlags);
    UpdateWindow(box);
    return NowMicroseconds() - start;
}

double Paint(HWND box) {
    InvalidateRect(box, nullptr, TRUE);
    double start = NowMicroseconds();
    UpdateWindow(box);
    return NowMicroseconds() - start;
}

struct Resources {
    SIZE_T privateBytes;
    DWORD systemGdiObjects;
    int pluginGdiObjects;
};

Resources Measure(const testsupport::GdiCounter& counter) {
    return {testsupport::CommittedPrivateBytes(),
            GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), counter.Live()};
}

void PrintResources(const char* when, const Resources& r) {
    std::printf("  %-22s %10lu KiB %12lu %14d\n", when,
                static_cast<unsigned long>(r.privateBytes / 1024), r.systemGdiObjects,
                r.pluginGdiObjects);
}

void TimeStarts(const Plugin& plugin, HWND slit) {
    std::vector<double> starts;
    for (int i = 0; i < kStarts; ++i) {
        double start = NowMicroseconds();
        plugin.begin(plugin.module, slit);
        starts.push_back(NowMicroseconds() - start);
        Pump();
        plugin.end();
    }
    std::printf("beginPluginEx with a %d-line history file (the list full):\n", kHistoryLines);
    std::printf("  first start %.2f ms, median of %d starts %.2f ms\n", starts[0] / 1000, kStarts,
                Median(starts) / 1000);
}

// Letters and Backspace by turns, so the field stays short while every key repaints.
std::vector<double> TypeKeys(HWND box, int count) {
    std::vector<double> times;
    times.reserve(count);
    for (int i = 0; i < count; ++i) {
        times.push_back(i % 2 == 0 ? TypeKey(box, 'A', 'a') : TypeKey(box, VK_BACK, '\b'));
        if (i % kKeysBetweenPumps == 0) Pump();
    }
    return times;
}

double Mean(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / values.size();
}

double Quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * (values.size() - 1) + 0.5)];
}

// The baseline: a bare Edit of the box's class, style, size and font, with nothing of the
// plug-in's, typed into the same way.
HWND BareEditBeside(HWND box) {
    RECT r;
    GetWindowRect(box, &r);
    HWND bare = CreateWindowExA(WS_EX_TOOLWINDOW, kEditClass, nullptr,
                                static_cast<DWORD>(GetWindowLongPtrA(box, GWL_STYLE)), r.left,
                                r.bottom + 10, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                nullptr, nullptr);
    SendMessageA(bare, WM_SETFONT, SendMessageA(box, WM_GETFONT, 0, 0), 0);
    Pump();
    return bare;
}

// Ctrl+R as the keyboard brings it: the box shows its search prompt before the text.
void ShowSearchPrompt(HWND box) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(box, WM_KEYDOWN, 'R', kKeyDownFlags);
    SendMessageA(box, WM_CHAR, 0x12, kKeyDownFlags);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    SendMessageA(box, WM_KEYUP, 'R', kKeyUpFlags);
    Pump();
}

// kTurns paired turns of kKeysPerTurn keys, the box and the bare Edit taking turns (each going
// first in every other turn), so that both meet the same load of the machine; the ratio of each
// turn, its median and its spread.
void TimePairedTurns(const char* what, HWND box, HWND bare) {
    std::vector<double> boxKeys, bareKeys, ratios;
    for (int turn = 0; turn < kTurns; ++turn) {
        double boxTime = 0, bareTime = 0;
        for (int side = 0; side < 2; ++side) {
            bool boxNow = (turn + side) % 2 == 0;
            std::vector<double> times = TypeKeys(boxNow ? box : bare, kKeysPerTurn);
            (boxNow ? boxTime : bareTime) = Mean(times);
        }
        boxKeys.push_back(boxTime);
        bareKeys.push_back(bareTime);
        ratios.push_back(boxTime / bareTime);
        Pump();
    }
    std::printf("one typed key with its repaint, %s (%d paired turns of %d keys):\n", what, kTurns,
                kKeysPerTurn);
    std::printf("  box %.1f us, bare Edit %.1f us (medians of the turns)\n", Median(boxKeys),
                Median(bareKeys));
    std::printf(
        "  ratio box / bare Edit: median %.2f, middle half %.2f to %.2f, all %.2f to %.2f\n",
        Median(ratios), Quantile(ratios, 0.25), Quantile(ratios, 0.75), Quantile(ratios, 0),
        Quantile(ratios, 1));
}

// The cost of finding and drawing a suggestion among the 512 held lines, every one of which
// starts with the character typed: the same keys with suggestions on and switched off, in
// paired turns.
void TimeSuggestion(HWND box, const std::string& folder, char typed, const char* among) {
    SetFocus(box);
    std::vector<double> on, off, ratios;
    double slowest = 0;
    for (int turn = 0; turn < kTurns; ++turn) {
        double times[2] = {};
        for (int side = 0; side < 2; ++side) {
            bool suggest = (turn + side) % 2 == 0;
            WriteSettings(folder, suggest);
            SendMessageA(box, shell::kReconfigure, 0, 0);
            Pump();
            std::vector<double> keys;
            for (int i = 0; i < kKeysPerTurn; ++i) {
                keys.push_back(i % 2 == 0 ? TypeKey(box, VkKeyScanA(typed) & 0xFF, typed)
                                          : TypeKey(box, VK_BACK, '\b'));
                if (suggest) slowest = std::max(slowest, keys.back());
            }
            times[suggest ? 0 : 1] = Mean(keys);
        }
        on.push_back(times[0]);
        off.push_back(times[1]);
        ratios.push_back(times[0] / times[1]);
    }
    WriteSettings(folder, true);
    std::printf(
        "one typed key with a suggestion among %s, against the same key with\n"
        "suggestions switched off (%d paired turns of %d keys):\n",
        among, kTurns, kKeysPerTurn);
    std::printf("  with %.1f us, without %.1f us (medians of the turns); slowest key %.1f us\n",
                Median(on), Median(off), slowest);
    std::printf("  ratio: median %.2f, middle half %.2f to %.2f (the goal: 1.1 at most)\n",
                Median(ratios), Quantile(ratios, 0.25), Quantile(ratios, 0.75));
}

// The same with held lines whose programs cannot be had: 512 lines of 4,000 units on a local
// drive, every program gone (the worker learns it once, after the start), and 512 lines on a
// server that does not exist (never asked). Each in a start of its own.
void TimeSuggestionsOfMissingPrograms(const Plugin& plugin, HWND slit, const std::string& folder) {
    struct Kind {
        const char* among;
        const char* program;
        char typed;
    };
    const Kind kinds[] = {
        {"512 lines of 4,000 units, every program gone", "C:\\torvex-gone\\x", 'C'},
        {"512 lines on \\\\no-such-server\\", "\\\\no-such-server\\share\\x", '\\'},
    };
    for (const Kind& kind : kinds) {
        {
            std::ofstream history(folder + "history.txt", std::ios::binary);
            for (int i = 0; i < kHeldLines; ++i) {
                std::string line = kind.program + std::to_string(i) + ".exe ";
                history << line << std::string(4000 - line.size(), 'a') << "\r\n";
            }
        }
        plugin.begin(plugin.module, slit);
        HWND box = FindWindowA(kEditClass, nullptr);
        TypeKey(box, VkKeyScanA(kind.typed) & 0xFF, kind.typed);  // the ranking made, and asked
        for (int i = 0; i < 100; ++i) {                           // the worker's answers
            Sleep(20);
            Pump();
        }
        TypeKey(box, VK_BACK, '\b');
        TimeSuggestion(box, folder, kind.typed, kind.among);
        plugin.end();
        Pump();
    }
    WriteFiles(folder);
}

// One start, then keys, reconfigures, docking and paints; the counter watches the plug-in's GDI
// objects throughout.
void MeasureRunning(const Plugin& plugin, HWND slit, const std::string& folder) {
    testsupport::GdiCounter counter(plugin.module);
    plugin.begin(plugin.module, slit);
    HWND box = FindWindowA(kEditClass, nullptr);
    Pump();
    Resources afterStart = Measure(counter);

    HWND bare = BareEditBeside(box);
    TimePairedTurns("with a real style", box, bare);
    ShowSearchPrompt(box);
    TimePairedTurns("with the Ctrl+R prompt shown", box, bare);
    SendMessageA(box, WM_KEYDOWN, VK_ESCAPE, kKeyDownFlags);
    DestroyWindow(bare);
    TimeSuggestion(box, folder, 'n', "512 held lines");

    TypeKeys(box, kKeys);
    Pump();
    Resources afterKeys = Measure(counter);
    for (int i = 0; i < kReconfigures; ++i) {
        for (int dock = 0; dock < 2; ++dock) {  // into the slit and out again
            SendMessageA(box, shell::kBroadcast, 0, reinterpret_cast<LPARAM>(shell::kToggleSlit));
        }
        SendMessageA(box, shell::kReconfigure, 0, 0);
        Pump();
    }
    Resources afterReconfigures = Measure(counter);
    std::vector<double> paints;
    for (int i = 0; i < kPaints; ++i) paints.push_back(Paint(box));
    plugin.end();
    for (int i = 0; i < kStarts; ++i) {
        plugin.begin(plugin.module, slit);
        Pump();
        plugin.end();
    }
    Resources afterStops = Measure(counter);

    std::printf("one WM_PAINT of the whole box, %d paints:\n", kPaints);
    std::printf("  median %.1f us, mean %.1f us\n", Median(paints), Mean(paints));
    std::printf("%-24s %14s %12s %14s\n", "", "private", "GDI (system)", "GDI (plug-in)");
    PrintResources("after start", afterStart);
    PrintResources("after 10,000 keys", afterKeys);
    PrintResources("after 100 reconfigures", afterReconfigures);  // and docking
    PrintResources("after 10 more stops", afterStops);
}

// A folder of kFolderEntries files, made once beside the program.
std::string ManyEntries(const std::string& folder) {
    std::string many = folder + "many\\";
    CreateDirectoryA(many.c_str(), nullptr);
    char name[32];
    for (int i = 0; i < kFolderEntries; ++i) {
        std::snprintf(name, sizeof(name), "file%05d.txt", i);
        std::string path = many + name;
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    }
    return many;
}

// The system's own listing of what `pattern` matches, as Tab asks for it: the floor of a Tab.
double ListingMicroseconds(const std::string& pattern) {
    double start = NowMicroseconds();
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find != INVALID_HANDLE_VALUE) {
        while (FindNextFileA(find, &entry)) {
        }
        FindClose(find);
    }
    return NowMicroseconds() - start;
}

// Tab in a folder of kFolderEntries entries: every one of them a match, and a few.
void TimeTabCompletion(const Plugin& plugin, HWND slit, const std::string& many) {
    plugin.begin(plugin.module, slit);
    HWND box = FindWindowA(kEditClass, nullptr);
    Pump();
    std::printf("Tab completing in a folder of %d entries, median of %d:\n", kFolderEntries,
                kTabRuns);
    for (const char* prefix : {"f", "file1234"}) {
        std::string line = many + prefix;
        std::vector<double> times, listings;
        for (int i = 0; i < kTabRuns; ++i) {
            listings.push_back(ListingMicroseconds(line + "*"));
            SetWindowTextA(box, line.c_str());
            SendMessageA(box, EM_SETSEL, line.size(), line.size());
            double start = NowMicroseconds();
            SendMessageA(box, WM_KEYDOWN, VK_TAB, kKeyDownFlags);
            times.push_back(NowMicroseconds() - start);
            SendMessageA(box, WM_KEYDOWN, VK_ESCAPE, kKeyDownFlags);  // ends the cycle
        }
        std::printf("  \"%s\" (%s): %.2f ms; the system's listing alone: %.2f ms\n", prefix,
                    prefix[1] ? "11 matches" : "every entry", Median(times) / 1000,
                    Median(listings) / 1000);
    }
    plugin.end();
}

// Programs by name among 10,000 entries, registered under App Paths for this run (the list's
// thread builds the same list again from them, so that the saved list stands): start-up with the
// list saved against start-up without, in turns; and a key with a program to suggest against the
// same key with the list switched off, in paired turns. The keys type a name a unit at a time and
// take it back with Backspace, so that each key asks for a text of its own.
const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
constexpr int kProgramEntries = 10000;
const char kProgramKeys[] = "microsoft st";

void RegisterPrograms(bool add) {
    const char* const vendors[] = {"Microsoft", "Adobe", "Mozilla", "JetBrains", "Oracle",
                                   "Autodesk",  "Valve", "Epic",    "Corel",     "Zoom"};
    const char* const products[] = {"Studio", "Reader", "Office",    "Designer", "Manager",
                                    "Player", "Editor", "Converter", "Viewer",   "Tools"};
    HKEY root = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kAppPaths, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    for (int i = 0; i < kProgramEntries; ++i) {
        const std::string name = std::string(vendors[i % 10]) + " " + products[(i / 10) % 10] +
                                 " " + std::to_string(i) + ".exe";
        if (!add) {
            RegDeleteKeyA(root, name.c_str());
            continue;
        }
        const std::string path = "C:\\Programs\\" + std::to_string(i) + "\\program.exe";
        RegSetKeyValueA(root, name.c_str(), nullptr, REG_SZ, path.c_str(),
                        static_cast<DWORD>(path.size() + 1));
    }
    RegCloseKey(root);
}

// Until the process has been idle for a while: the list's thread has built its list again.
void WaitUntilIdle() {
    auto busy = [] {
        FILETIME created, exited, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        return (ULARGE_INTEGER{{kernel.dwLowDateTime, kernel.dwHighDateTime}}.QuadPart +
                ULARGE_INTEGER{{user.dwLowDateTime, user.dwHighDateTime}}.QuadPart) /
               10000;
    };
    for (int tries = 0; tries < 100; ++tries) {
        const auto before = busy();
        for (int i = 0; i < 20; ++i) {
            Sleep(10);
            Pump();
        }
        if (busy() - before < 20) return;  // under a tenth of 200 ms
    }
}

// Until the box has its list: the first letter draws a program, which End takes.
bool WaitForPrograms(HWND box) {
    for (int tries = 0; tries < 3000; ++tries) {
        TypeKey(box, 'M', 'm');
        TypeKey(box, VK_END, 0);
        char text[64] = "";
        GetWindowTextA(box, text, sizeof(text));
        SetWindowTextA(box, "");
        if (std::strlen(text) > 1) return true;
        Sleep(10);
        Pump();
    }
    return false;
}

std::vector<double> TypeAndTakeBack(HWND box) {
    std::vector<double> keys;
    for (const char* c = kProgramKeys; *c != 0; ++c) {
        keys.push_back(TypeKey(box, *c == ' ' ? VK_SPACE : VkKeyScanA(*c) & 0xFF, *c));
    }
    for (std::size_t i = 0; i < std::strlen(kProgramKeys); ++i)
        keys.push_back(TypeKey(box, VK_BACK, '\b'));
    return keys;
}

void TimePrograms(const Plugin& plugin, HWND slit, const std::string& folder) {
    RegisterPrograms(true);
    std::ofstream(folder + "history.txt", std::ios::binary).close();  // no held line to suggest
    DeleteFileA((folder + "history.counts.txt").c_str());
    const std::string listFile = folder + "appdata\\Torvex\\programs.txt";
    WriteSettings(folder, true, true);
    plugin.begin(plugin.module, slit);
    HWND box = FindWindowA(kEditClass, nullptr);
    SetFocus(box);
    const bool listed = WaitForPrograms(box);
    plugin.end();
    for (int i = 0; i < 300; ++i) {  // the thread's build and write, after the stop
        Sleep(10);
        Pump();
    }
    std::string saved;
    {
        std::ifstream in(listFile, std::ios::binary);
        saved.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<double> with, without;
    for (int i = 0; i < 2 * kStarts; ++i) {
        const bool withList = i % 2 == 0;
        if (withList) {
            std::ofstream(listFile, std::ios::binary) << saved;
        } else {
            DeleteFileA(listFile.c_str());
        }
        double start = NowMicroseconds();
        plugin.begin(plugin.module, slit);
        (withList ? with : without).push_back(NowMicroseconds() - start);
        Pump();
        plugin.end();
        WaitUntilIdle();  // the stopped thread's build, which a start must not meet
    }
    std::printf("programs by name, %d entries (the list %s, its file %zu bytes):\n",
                kProgramEntries, listed ? "handed over" : "NOT handed over", saved.size());
    std::printf("  beginPluginEx with the list saved %.2f ms, without %.2f ms (medians of %d)\n",
                Median(with) / 1000, Median(without) / 1000, kStarts);

    std::ofstream(listFile, std::ios::binary) << saved;
    plugin.begin(plugin.module, slit);
    box = FindWindowA(kEditClass, nullptr);
    SetFocus(box);
    std::vector<double> on, off, ratios;
    for (int turn = 0; turn < kTurns; ++turn) {
        double times[2] = {};
        for (int side = 0; side < 2; ++side) {
            const bool programs = (turn + side) % 2 == 0;
            WriteSettings(folder, true, programs);
            SendMessageA(box, shell::kReconfigure, 0, 0);
            if (programs) WaitForPrograms(box);
            WaitUntilIdle();
            times[programs ? 0 : 1] = Mean(TypeAndTakeBack(box));
        }
        on.push_back(times[0]);
        off.push_back(times[1]);
        ratios.push_back(times[0] / times[1]);
    }
    plugin.end();
    std::printf(
        "  a key typing \"%s\" and taking it back, with a program to suggest against the list\n"
        "  switched off (%d paired turns of %zu keys): with %.1f us, without %.1f us\n",
        kProgramKeys, kTurns, 2 * std::strlen(kProgramKeys), Median(on), Median(off));
    std::printf("  ratio: median %.2f, middle half %.2f to %.2f (the goal: 1.1 at most)\n",
                Median(ratios), Quantile(ratios, 0.25), Quantile(ratios, 0.75));
    RegisterPrograms(false);
    WriteFiles(folder);
}

}  // namespace

// "programs": the programs' figures alone.
int main(int argc, char** argv) {
    const bool programsOnly = argc > 1 && std::strcmp(argv[1], "programs") == 0;
    standin::SetLogEcho(false);
    std::printf("lane: %s\n", sizeof(void*) == 8 ? "x64 (64-bit)" : "x86 (32-bit)");
    std::string folder = ProgramFolder();
    // The list of programs the box saves goes into a folder of the bench's own.
    SetEnvironmentVariableA("APPDATA", (folder + "appdata").c_str());
    CreateDirectoryA((folder + "appdata").c_str(), nullptr);
    WriteFiles(folder);
    standin::SetShellFolder(folder);
    standin::ShellWindows windows =
        standin::CreateShellWindows(GetModuleHandleA(nullptr), {[] {}, [] {}});
    Plugin plugin = Load(folder);
    if (plugin.begin == nullptr || plugin.end == nullptr) {
        std::printf("cannot load torvex.dll from %s\n", folder.c_str());
        return 1;
    }
    if (!programsOnly) {
        TimeStarts(plugin, windows.slit);
        MeasureRunning(plugin, windows.slit, folder);
        TimeSuggestionsOfMissingPrograms(plugin, windows.slit, folder);
        TimeTabCompletion(plugin, windows.slit, ManyEntries(folder));
    }
    TimePrograms(plugin, windows.slit, folder);
    FreeLibrary(plugin.module);
    standin::DestroyShellWindows(windows);
    return 0;
}
