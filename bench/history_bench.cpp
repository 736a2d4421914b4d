// Prints how long the history takes to load from a 0.5 MB and a 50 MB file (start-up must not
// grow with the file), and what adding a line to a full list costs. The loads take turns, each
// file renamed to history.txt beside this program in its turn, and the medians are compared, so
// that neither the disk cache nor the machine's other work favours one. The files are removed
// afterwards.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "plugin/TorvexPlugin.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 201;

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

double MillisecondsToLoad(TorvexPlugin& plugin, const std::wstring& file,
                          const std::wstring& history) {
    MoveFileW(file.c_str(), history.c_str());
    auto start = Clock::now();
    plugin.LoadHistory();
    std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
    MoveFileW(history.c_str(), file.c_str());
    return elapsed.count();
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    auto plugin = std::make_unique<TorvexPlugin>(GetModuleHandleA(nullptr), nullptr);
    const std::wstring folder = plugin->GetPluginFolder();
    const std::wstring history = folder + L"history.txt";
    const std::wstring small = folder + L"history-small.txt", large = folder + L"history-large.txt";
    WriteHistory(small, 500LL * 1000);
    WriteHistory(large, 50LL * 1000 * 1000);
    std::vector<double> smallTimes, largeTimes;
    for (int round = 0; round < kRounds; ++round) {
        smallTimes.push_back(MillisecondsToLoad(*plugin, small, history));
        largeTimes.push_back(MillisecondsToLoad(*plugin, large, history));
    }
    std::printf("LoadHistory, 0.5 MB file: %8.3f ms, median of %d (%d lines held)\n",
                Median(smallTimes), kRounds, plugin->historyCount);
    std::printf("LoadHistory, 50 MB file:  %8.3f ms, median of %d\n", Median(largeTimes), kRounds);
    std::printf("ratio 50 MB / 0.5 MB:     %8.2f (goal: 1.1 or less)\n",
                Median(largeTimes) / Median(smallTimes));
    DeleteFileW(small.c_str());
    DeleteFileW(large.c_str());

    // A full list: every new line shifts all 512 slots and appends to the file.
    WriteHistory(history, 500LL * 1000);
    plugin->LoadHistory();
    const int adds = 2000;
    auto start = Clock::now();
    for (int i = 0; i < adds; ++i)
        plugin->AddToHistory((L"new line " + std::to_wstring(i)).c_str());
    std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
    std::printf("AddToHistory, full list:  %8.1f us per line\n", elapsed.count() / adds);
    DeleteFileW(history.c_str());
    return 0;
}
