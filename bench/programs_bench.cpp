// Prints how long the matching of typed letters takes among 10,000 programs' names (a key with a
// program to suggest must cost no more than a key without), each text in turns, 31 rounds,
// medians; and how long preparing the 10,000 entries takes, as the list's thread does once.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "programs/Matching.h"

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
    return 0;
}
