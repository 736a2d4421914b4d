// Prints how long the calculator takes for the heaviest lines that its bounds let through, and
// for a few that they refuse: the answer to a line may not depend on the machine's speed, so the
// bounds are on the work (digits, steps, the size of each operation's operands), and the worst
// line must still be worked out within 50 ms. The lines take turns, 31 rounds; each figure is a
// median. Lines given as arguments are timed instead of the built-in ones.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "calculator/Calculator.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 31;
constexpr double kGoalMilliseconds = 50;

std::u16string Units(const std::string& text) {
    return {text.begin(), text.end()};
}

// `term` repeated with `joint` between, as long as a line may be.
std::string Repeated(const std::string& term, const std::string& joint) {
    std::string line = term;
    while (line.size() + joint.size() + term.size() < torvex::calc::kMostLineLength)
        line += joint + term;
    return line;
}

std::string Harmonic() {  // =1/1+1/2+1/3+..., as long as a line may be
    std::string line = "=1";
    for (int k = 2;; ++k) {
        const std::string term = "+1/" + std::to_string(k);
        if (line.size() + term.size() >= torvex::calc::kMostLineLength) return line;
        line += term;
    }
}

std::vector<std::string> HeavyLines() {
    return {
        "9*10^9999",
        "10^9999-1",
        "(10^9999-1)/(10^9998+1)",
        "=(1+0.05/365)^(365*30)",
        "3248!",
        "hex(2^33000-1)",
        "bin(2^33000-1)",
        "sqrt(2*10^9999)",
        "=1e-9999",
        "=1/(10^9999+3)",
        "=10^9999/7",
        "=round((10^9999+1)/3)",
        "=(7^5000)/(3^5000)+1",
        "(10^4999+1)/(10^4998+3)+(10^4997+7)/(10^4996+9)",
        "=" + std::string(2047, '9') + "/" + std::string(2046, '7'),
        "=" + std::string(4094, '9'),
        Harmonic(),
        "=" + Repeated("2^33000", "-"),
        "=" + Repeated("10^9999", "-"),
        "=" + Repeated("(10^4999+1)/(10^4998+3)", "*"),
        "=" + Repeated("7^5000/3^5000", "+"),
        "=" + Repeated("3248!", "-"),
        "=" + Repeated("sqrt(10^9999)", "+"),
        "=" + Repeated("sin(1)", "+"),
        "=" + Repeated("ln(7)^0.3", "*"),
        "=" + Repeated("(2/3)^20000", "+"),
        // Every term cancels past what 50 digits can tell: the line is worked out again with 120.
        "=" + Repeated("(exp(1e-60)-1)", "+"),
        "=" + Repeated("asin(sin(pi/2))", "+"),
        "=" + Repeated("(-2)^ln(e)", "*"),
        "=" + Repeated("log(1000)!", "+"),
        "=" + Repeated("ln(e)^(10^60)", "*"),
        // Heavy exact work, then a term that 50 digits cannot tell: worked out twice.
        "=3248!+(exp(1e-60)-1)",
        "=9*10^9999+(exp(1e-60)-1)",
    };
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> lines = HeavyLines();
    if (argc > 1) lines.assign(argv + 1, argv + argc);
    std::vector<std::vector<double>> times(lines.size());
    std::vector<torvex::calc::Result> results(lines.size());
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::u16string line = Units(lines[i]);
            auto start = Clock::now();
            results[i] = torvex::calc::Calculate(line);
            times[i].push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    }
    std::printf("calculator, %d-bit lane: median of %d turns per line\n",
                static_cast<int>(sizeof(void*) * 8), kRounds);
    double worst = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double median = Median(times[i]);
        worst = std::max(worst, median);
        std::string shown(results[i].value.begin(), results[i].value.end());
        if (shown.size() > 40)
            shown = shown.substr(0, 30) + "... (" + std::to_string(shown.size()) + ")";
        std::string line = lines[i].size() > 48 ? lines[i].substr(0, 40) + "... (" +
                                                      std::to_string(lines[i].size()) + ")"
                                                : lines[i];
        std::printf("%8.2f ms %9.2f Mwork %6.1f ns/work  %-52s %s\n", median, results[i].work / 1e6,
                    results[i].work > 0 ? median * 1e6 / results[i].work : 0, line.c_str(),
                    shown.c_str());
    }
    std::printf("worst line: %.2f ms (goal: %.0f ms or less)\n", worst, kGoalMilliseconds);
    return 0;
}
