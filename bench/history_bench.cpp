// Prints how long the history takes to load from a 1 MB and a 100 MB file, and what adding a
// line to a full list costs. The file is history.txt beside this program, removed afterwards.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "plugin/TorvexPlugin.h"

namespace {

using Clock = std::chrono::steady_clock;

void WriteHistory(const std::wstring& path, long long bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    std::string line;
    long long written = 0;
    for (long long i = 0; written < bytes; ++i) {
        line = "C:\\Program Files\\Some Tool\\tool.exe --option " + std::to_string(i) + "\r\n";
        out << line;
        written += static_cast<long long>(line.size());
    }
}

double MillisecondsToLoad(TorvexPlugin& plugin, int repeats) {
    auto start = Clock::now();
    for (int i = 0; i < repeats; ++i) plugin.LoadHistory();
    std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
    return elapsed.count() / repeats;
}

}  // namespace

int main() {
    auto plugin = std::make_unique<TorvexPlugin>(GetModuleHandleA(nullptr), nullptr);
    std::wstring path = std::wstring(plugin->GetPluginFolder()) + L"history.txt";

    WriteHistory(path, 1000LL * 1000);
    double small = MillisecondsToLoad(*plugin, 20);
    WriteHistory(path, 100LL * 1000 * 1000);
    double large = MillisecondsToLoad(*plugin, 20);
    std::printf("LoadHistory, 1 MB file:   %8.3f ms (%d lines held)\n", small,
                plugin->historyCount);
    std::printf("LoadHistory, 100 MB file: %8.3f ms (%d lines held)\n", large,
                plugin->historyCount);
    std::printf("ratio 100 MB / 1 MB:      %8.2f (goal: under 2)\n", large / small);

    // A full list: every new line shifts all 512 slots and appends to the file.
    const int adds = 2000;
    auto start = Clock::now();
    for (int i = 0; i < adds; ++i)
        plugin->AddToHistory((L"new line " + std::to_wstring(i)).c_str());
    std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
    std::printf("AddToHistory, full list:  %8.1f us per line\n", elapsed.count() / adds);

    DeleteFileW(path.c_str());
    return 0;
}
