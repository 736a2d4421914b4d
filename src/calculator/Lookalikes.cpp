#include "calculator/Lookalikes.h"

#include <cstddef>

namespace torvex::calc {
namespace {

constexpr char16_t kMinus = u'\u2212', kTimes = u'\u00D7', kDivide = u'\u00F7';
constexpr std::size_t kChainOfNumbers = 4;  // 978-3-16-148410-0; 555-1234 stays a difference

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool IsSign(char16_t c) {
    return c == u'+' || c == u'-' || c == kMinus;
}
bool IsOperator(char16_t c) {
    return IsSign(c) || c == u'*' || c == u'/' || c == kTimes || c == kDivide || c == u'^';
}
bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::size_t SkipBlanks(std::u16string_view line, std::size_t at) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    return at;
}

// "--1", "+-2": a sum never starts with two signs.
bool DoubledSign(std::u16string_view line) {
    const std::size_t first = SkipBlanks(line, 0);
    if (first >= line.size() || !IsSign(line[first])) return false;
    const std::size_t second = SkipBlanks(line, first + 1);
    return second < line.size() && IsSign(line[second]);
}

// "+4930123456": a number with a leading "+" and nothing else.
bool SignedNumberAlone(std::u16string_view line) {
    std::size_t at = SkipBlanks(line, 0);
    if (at >= line.size() || line[at] != u'+') return false;
    at = SkipBlanks(line, at + 1);
    const std::size_t digits = at;
    while (at < line.size() && IsDigit(line[at])) ++at;
    return at > digits && SkipBlanks(line, at) == line.size();
}

// An operator in a number's exponent ("2e-05") is part of the number.
bool InExponent(std::u16string_view line, std::size_t at) {
    return at >= 2 && (line[at - 1] | 0x20) == u'e' &&
           (IsDigit(line[at - 2]) || line[at - 2] == u'.' || line[at - 2] == u',');
}

// "2024-01-01", "01/02/2024": a number written with a leading zero after an operator.
bool LeadingZeroAfterOperator(std::u16string_view line) {
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (!IsOperator(line[at]) || InExponent(line, at)) continue;
        const std::size_t next = SkipBlanks(line, at + 1);
        if (next + 1 < line.size() && line[next] == u'0' && IsDigit(line[next + 1])) return true;
    }
    return false;
}

// "978-3-16-148410-0": four or more whole numbers joined by "-" with nothing between.
bool ChainOfNumbers(std::u16string_view line) {
    std::size_t numbers = 0;
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t start = at;
        while (at < line.size() && IsDigit(line[at])) ++at;
        const bool number = at > start;
        if (number && ++numbers >= kChainOfNumbers) return true;
        if (number && at < line.size() && line[at] == u'-') {
            ++at;
            continue;  // the chain goes on only with a number right after the "-"
        }
        numbers = 0;
        if (!number) ++at;
    }
    return false;
}

}  // namespace

bool LooksLikeANameOrNumber(std::u16string_view line) {
    return DoubledSign(line) || SignedNumberAlone(line) || LeadingZeroAfterOperator(line) ||
           ChainOfNumbers(line);
}

}  // namespace torvex::calc
