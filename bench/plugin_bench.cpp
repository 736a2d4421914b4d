// The real torvex.dll in a stand-in shell: how long a start with a full history takes, one typed
// key with its repaint, one paint; and the process's private memory and GDI objects after start
// and after 10,000 keys. Named Nimbar.exe, so that the plug-in's imports resolve to it.
#include <windows.h>

#include <algorithm>
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

void WriteSettings(const std::string& folder, bool suggest) {
    std::ofstream(folder + "torvex.rc") << "torvex.x: 100\ntorvex.y: 100\ntorvex.width: 300\n"
                                           "torvex.inslit: false\ntorvex.suggest: "
                                        << (suggest ? "true" : "false") << "\n";
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

}  // namespace

int main() {
    standin::SetLogEcho(false);
    std::printf("lane: %s\n", sizeof(void*) == 8 ? "x64 (64-bit)" : "x86 (32-bit)");
    std::string folder = ProgramFolder();
    WriteFiles(folder);
    standin::SetShellFolder(folder);
    standin::ShellWindows windows =
        standin::CreateShellWindows(GetModuleHandleA(nullptr), {[] {}, [] {}});
    Plugin plugin = Load(folder);
    if (plugin.begin == nullptr || plugin.end == nullptr) {
        std::printf("cannot load torvex.dll from %s\n", folder.c_str());
        return 1;
    }
    TimeStarts(plugin, windows.slit);

    MeasureRunning(plugin, windows.slit, folder);
    TimeSuggestionsOfMissingPrograms(plugin, windows.slit, folder);
    TimeTabCompletion(plugin, windows.slit, ManyEntries(folder));
    FreeLibrary(plugin.module);
    standin::DestroyShellWindows(windows);
    return 0;
}
