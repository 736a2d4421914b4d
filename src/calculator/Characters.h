#pragma once
// The characters a calculation is written with, as the parser and the lines that only look like
// sums both read them.
namespace torvex::calc {

constexpr char16_t kTimes = u'\u00D7', kDivide = u'\u00F7', kMinus = u'\u2212';

inline bool IsDigit(char16_t c, int base = 10) {
    if (base == 16)
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    return c >= u'0' && c < u'0' + base;
}

}  // namespace torvex::calc
