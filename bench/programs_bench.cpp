// Prints how long the matching of typed letters takes among 10,000 programs' names (a key with a
// program to suggest must cost no more than a key without), each text in turns, 31 rounds,
// medians, looked for among all and typed a unit at a time as the box narrows it; how long
// preparing the 10,000 entries takes, as the list's thread does once; the memory the box holds
// for them; and how long the list's thread takes to read 2,000 shortcuts and make them ready.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "programs/Catalog.h"
#include "programs/Matching.h"
#include "programs/StartMenu.h"
#include "tests/support/Shortcut.h"
#include "tests/support/TempShellFolder.h"

// Every allocation counted, with its size, so that what a catalog holds can be told exactly.
namespace {
std::atomic<std::size_t> allocated{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);
}  // namespace

void* operator new(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    allocated += size;
    return block + kHeader;
}
void operator delete(void* pointer) noexcept {
    if (pointer == nullptr) return;
    auto* block = static_cast<unsigned char*>(pointer) - kHeader;
    allocated -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}
void operator delete(void* pointer, std::size_t) noexcept {
    operator delete(pointer);
}

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 31;
constexpr std::size_t kEntries = 10000;

std::vector<torvex::programs::Entry> Entries() {
    const char16_t* const vendors[] = {u"Microsoft", u"Adobe",    u"Mozilla", u"JetBrains",
                                       u"Oracle",    u"Autodesk", u"Valve",   u"Épic Games",
                                       u"Corel",     u"Zoom"};
    const char16_t* const products[] = {u"Studio", u"Reader", u"Office",    u"Designer", u"Manager",
                                        u"Player", u"Editor", u"Converter", u"Viewer",   u"Tools"};
    const char16_t* const parts[] = {u"", u" Help", u" 2024", u" (64-bit)", u" Uninstall"};
    std::vector<torvex::programs::Entry> entries;
    for (std::size_t i = 0; entries.size() < kEntries; ++i) {
        std::u16string name =
            std::u16string(vendors[i % 10]) + u" " + products[(i / 10) % 10] + u" " +
            std::u16string(1, static_cast<char16_t>(u'A' + (i / 100) % 26)) +
            std::u16string(1, static_cast<char16_t>(u'a' + (i / 2600) % 26)) + parts[i % 5];
        entries.push_back({name, name + std::u16string(u"#") + static_cast<char16_t>(u'0' + i % 10),
                           torvex::programs::Kind::kProgram});
    }
    return entries;
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

std::vector<torvex::programs::Listed> Listed(const std::vector<torvex::programs::Entry>& entries) {
    std::vector<torvex::programs::Listed> list;
    for (const auto& entry : entries) {
        list.push_back({entry, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\" +
                                   entry.name + u".lnk"});
    }
    return list;
}

// Each text typed a unit at a time into the box: the keys after the first look only among what
// matched before. The median of a key, over every key of the text, 31 rounds.
template <std::size_t N>
void TimeNarrowing(const std::vector<torvex::programs::Entry>& entries,
                   const std::u16string (&typed)[N]) {
    const auto catalog = torvex::programs::MakeCatalog(Listed(entries));
    std::printf("typed a unit at a time, as the box narrows (median of a key, its first key):\n");
    for (const std::u16string& text : typed) {
        std::vector<double> keys, first;
        for (int round = 0; round < kRounds; ++round) {
            torvex::programs::Suggester suggester;
            for (std::size_t length = 1; length <= text.size(); ++length) {
                const auto start = Clock::now();
                suggester.Suggest(text.substr(0, length), *catalog, {},
                                  [](int entry) { return std::uint64_t(entry % 7); });
                const double ms =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                keys.push_back(ms);
                if (length == 1) first.push_back(ms);
            }
        }
        std::printf("%8.3f ms, first %.3f ms  \"%s\"\n", Median(keys), Median(first),
                    std::string(text.begin(), text.end()).c_str());
    }
}

void MeasureCatalog(const std::vector<torvex::programs::Entry>& entries) {
    auto list = Listed(entries);
    const std::size_t before = allocated;
    auto catalog = torvex::programs::MakeCatalog(std::move(list));
    list.clear();
    list.shrink_to_fit();
    std::printf("the box's list of %zu entries holds %.2f MB (goal: under 4 MB)\n",
                catalog->entries.size(), (allocated - before) / 1048576.0);
}

// 2,000 shortcuts in a folder of their own, read and made ready as the list's thread does.
void TimeBuilding() {
    constexpr int kShortcuts = 2000;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return;
    {
        const std::string menu = testsupport::NewTempFolder("torvex-bench-menu");
        const std::wstring root = testsupport::Wide(menu);
        wchar_t target[MAX_PATH] = L"";
        GetModuleFileNameW(nullptr, target, MAX_PATH);
        for (int i = 0; i < kShortcuts; ++i) {
            const std::wstring folder = root + L"Vendor " + std::to_wstring(i % 50);
            CreateDirectoryW(folder.c_str(), nullptr);
            testsupport::MakeShortcut(folder + L"\\Program " + std::to_wstring(i) + L".lnk", target,
                                      L"--run");
        }
        std::vector<double> times;
        std::size_t read = 0;
        for (int round = 0; round < 5; ++round) {
            const auto start = Clock::now();
            std::vector<torvex::programs::Listed> list;
            torvex::programs::AddShortcuts(root.substr(0, root.size() - 1), u"U:", list);
            read = torvex::programs::MakeCatalog(std::move(list))->entries.size();
            times.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        std::printf(
            "building the list from %d shortcuts in 50 folders: %.0f ms (median of 5), %zu read\n",
            kShortcuts, Median(times), read);
    }
    CoUninitialize();
}

}  // namespace

int main() {
    const std::vector<torvex::programs::Entry> entries = Entries();
    std::vector<double> preparing;
    std::vector<torvex::programs::Prepared> prepared;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        prepared.clear();
        for (const auto& entry : entries) prepared.push_back(torvex::programs::Prepare(entry));
        preparing.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    const std::u16string typed[] = {u"m",   u"microsoft studio", u"msa", u"stu vie", u"epic",
                                    u"zzq", u"tools za"};
    std::vector<std::vector<double>> times(std::size(typed));
    int found = 0;
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t t = 0; t < std::size(typed); ++t) {
            const auto start = Clock::now();
            found += torvex::programs::Best(typed[t], entries, prepared, {},
                                            [](int entry) { return entry % 7; }) >= 0;
            times[t].push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    }
    std::printf("programs, %d-bit lane: %zu entries, prepared in %.2f ms (median of 5)\n",
                static_cast<int>(sizeof(void*) * 8), entries.size(), Median(preparing));
    double worst = 0;
    for (std::size_t t = 0; t < std::size(typed); ++t) {
        const double median = Median(times[t]);
        worst = std::max(worst, median);
        std::printf("%8.3f ms  \"%s\"\n", median,
                    std::string(typed[t].begin(), typed[t].end()).c_str());
    }
    std::printf("worst text: %.3f ms a key (goal: 1 ms or less); %d of %d found\n", worst, found,
                kRounds * static_cast<int>(std::size(typed)));
    TimeNarrowing(entries, typed);
    MeasureCatalog(entries);
    TimeBuilding();
    return 0;
}
