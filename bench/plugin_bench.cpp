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

#include "shell/PluginExports.h"
#include "shell/StandIn.h"
#include "tests/support/GdiCounter.h"
#include "tests/support/ProcessMemory.h"

namespace {

constexpr int kHistoryLines = 600;  // more than the 512 the list holds
constexpr int kStarts = 10;
constexpr int kKeys = 10000;
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

void WriteFiles(const std::string& folder) {
    std::ofstream history(folder + "history.txt", std::ios::binary);
    for (int i = 0; i < kHistoryLines; ++i) history << "notepad file" << i << ".txt\r\n";
    std::ofstream(folder + "torvex.rc") << "torvex.x: 100\ntorvex.y: 100\ntorvex.width: 300\n"
                                           "torvex.inslit: false\n";
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

// The baseline: a bare Edit of the box's class, style, size and font, with nothing of the
// plug-in's, typed into the same way.
std::vector<double> TypeIntoABareEdit(HWND box, int count) {
    RECT r;
    GetWindowRect(box, &r);
    HWND bare = CreateWindowExA(WS_EX_TOOLWINDOW, kEditClass, nullptr,
                                static_cast<DWORD>(GetWindowLongPtrA(box, GWL_STYLE)), r.left,
                                r.bottom + 10, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                nullptr, nullptr);
    SendMessageA(bare, WM_SETFONT, SendMessageA(box, WM_GETFONT, 0, 0), 0);
    Pump();
    std::vector<double> times = TypeKeys(bare, count);
    DestroyWindow(bare);
    return times;
}

// One start, then keys and paints; the counter watches the plug-in's GDI objects throughout.
void MeasureRunning(const Plugin& plugin, HWND slit) {
    testsupport::GdiCounter counter(plugin.module);
    plugin.begin(plugin.module, slit);
    HWND box = FindWindowA(kEditClass, nullptr);
    Pump();
    Resources afterStart = Measure(counter);

    std::vector<double> keys = TypeKeys(box, kKeys);
    Pump();
    Resources afterKeys = Measure(counter);
    std::vector<double> bareKeys = TypeIntoABareEdit(box, kKeys);
    std::vector<double> paints;
    for (int i = 0; i < kPaints; ++i) paints.push_back(Paint(box));
    plugin.end();

    std::printf("one typed key (WM_KEYDOWN, WM_CHAR, WM_KEYUP) with its repaint, %d keys:\n",
                kKeys);
    std::printf("  median %.1f us, mean %.1f us\n", Median(keys), Mean(keys));
    std::printf("the same keys in a bare Edit of the same size and font:\n");
    std::printf("  median %.1f us, mean %.1f us\n", Median(bareKeys), Mean(bareKeys));
    std::printf(
        "  the box's time per key is %.2f times the bare Edit's (median; the goal is 2 at "
        "most)\n",
        Median(keys) / Median(bareKeys));
    std::printf("one WM_PAINT of the whole box, %d paints:\n", kPaints);
    std::printf("  median %.1f us, mean %.1f us\n", Median(paints), Mean(paints));
    std::printf("%-24s %14s %12s %14s\n", "", "private", "GDI (system)", "GDI (plug-in)");
    PrintResources("after start", afterStart);
    PrintResources("after 10,000 keys", afterKeys);
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

    MeasureRunning(plugin, windows.slit);
    TimeTabCompletion(plugin, windows.slit, ManyEntries(folder));
    FreeLibrary(plugin.module);
    standin::DestroyShellWindows(windows);
    return 0;
}
