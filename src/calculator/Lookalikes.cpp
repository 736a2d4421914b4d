#include "calculator/Lookalikes.h"

#include "calculator/Characters.h"

#include <cstddef>
#include <vector>

namespace torvex::calc {
namespace {

constexpr std::size_t kChainOfNumbers = 4;  // 978-3-16-148410-0; 555-1234 stays a difference

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

// The lengths of the digit groups that the whole line is, joined by single `joint`s (blanks
// around it taken off, and after a leading `lead` when there is one); empty when it is no such.
std::vector<std::size_t> Groups(std::u16string_view line, char16_t joint, char16_t lead = 0) {
    std::size_t at = SkipBlanks(line, 0), end = line.size();
    while (end > at && IsBlank(line[end - 1])) --end;
    if (lead != 0) {
        if (at >= end || line[at] != lead) return {};
        ++at;
    }
    std::vector<std::size_t> groups;
    for (;;) {
        const std::size_t start = at;
        while (at < end && IsDigit(line[at])) ++at;
        if (at == start) return {};
        groups.push_back(at - start);
        if (at == end) return groups;
        if (line[at] != joint) return {};
        ++at;
    }
}

// "+4930123456", "+49-30-123456": a telephone number.
bool Telephone(std::u16string_view line) {
    return !Groups(line, u'-', u'+').empty();
}

// "2024-12-25", "12/25/2024": a year of four digits first or last, and two of one or two.
bool Date(std::u16string_view line) {
    for (char16_t joint : {u'-', u'/'}) {
        const std::vector<std::size_t> groups = Groups(line, joint);
        if (groups.size() != 3) continue;
        const bool yearFirst = groups[0] == 4 && groups[1] <= 2 && groups[2] <= 2;
        const bool yearLast = groups[2] == 4 && groups[0] <= 2 && groups[1] <= 2;
        if (yearFirst || yearLast) return true;
    }
    return false;
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

// "978-3-16-148410-0": a line of four or more whole numbers joined by "-" with nothing between.
bool ChainOfNumbers(std::u16string_view line) {
    return Groups(line, u'-').size() >= kChainOfNumbers;
}

}  // namespace

bool LooksLikeANameOrNumber(std::u16string_view line) {
    return DoubledSign(line) || Telephone(line) || Date(line) || LeadingZeroAfterOperator(line) ||
           ChainOfNumbers(line);
}

}  // namespace torvex::calc
