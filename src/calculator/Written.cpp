#include "calculator/Written.h"

#include <algorithm>
#include <string>

namespace torvex::calc::detail {

// Significant `digits` with the decimal point after the first, times 10^`exponent`: written out
// in full for the exponents of everyday numbers, else as 1.5e40.
std::u16string Written(bool negative, std::string digits, std::int64_t exponent, char16_t decimal) {
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string text;
    if (exponent >= 0 && exponent < static_cast<std::int64_t>(kRoundedDigits)) {
        if (digits.size() <= static_cast<std::size_t>(exponent))
            digits.append(exponent + 1 - digits.size(), '0');
        text = digits.substr(0, exponent + 1);
        if (digits.size() > static_cast<std::size_t>(exponent) + 1)
            text += "." + digits.substr(exponent + 1);
    } else if (exponent < 0 && exponent >= -7) {
        text = "0." + std::string(-exponent - 1, '0') + digits;
    } else {
        text = digits.substr(0, 1) + (digits.size() > 1 ? "." + digits.substr(1) : "") + "e" +
               std::to_string(exponent);
    }
    std::u16string written = negative && digits != "0" ? u"-" : u"";
    for (char c : text) written += c == '.' ? decimal : static_cast<char16_t>(c);
    return written;
}

// An exact quotient that terminates, whole; false when it does not terminate.
bool WrittenWhole(const Rational& q, char16_t decimal, Budget& budget, std::u16string& text) {
    Integer d = denominator(q);
    // A quotient that terminates has as many places as the larger count of 2s and 5s in it:
    // one with more digits than a result may have is rounded instead (2^-10001 is 2.5e-3011).
    const std::size_t twos = lsb(d);
    if (twos > kMostDigits) return false;
    d >>= twos;
    std::size_t fives = 0;
    // 5^13 is the largest power of 5 in one 32-bit word: a divisor of one word is a single pass
    // over the number, one of two a pass for every word of the quotient (a second for 1e-9999
    // in the 32-bit plug-in, with 5^16).
    constexpr std::uint32_t kFivesAtOnce = 1220703125;
    constexpr std::size_t kFivesInOne = 13;
    const std::size_t mostFives = std::min(Bits(d), kMostDigits);  // 5 takes over 2 bits
    budget.Charge((static_cast<double>(mostFives) / 2 / kFivesInOne + kFivesInOne) *
                  work::Linear(Bits(d), 32));
    while (d % kFivesAtOnce == 0 && fives <= kMostDigits) d /= kFivesAtOnce, fives += kFivesInOne;
    while (d % 5 == 0 && fives <= kMostDigits) d /= 5, ++fives;
    if (fives > kMostDigits || d != 1) return false;
    const std::size_t places = std::max(twos, fives);
    const Integer& n = numerator(q);
    const std::size_t wholeDigits =
        Digits(n) > Digits(denominator(q)) ? Digits(n) - Digits(denominator(q)) + 1 : 1;
    if (places + wholeDigits > kMostDigits) return false;
    const auto scaleBits = static_cast<std::size_t>(places / kLog10Of2) + 1;
    budget.Charge(2 * work::Power(scaleBits) + 2 * work::Product(Bits(n), scaleBits) +
                  work::Text(Bits(n) + scaleBits));
    Integer scaled = abs(numerator(q)) * pow(Integer(2), static_cast<unsigned>(places - twos)) *
                     pow(Integer(5), static_cast<unsigned>(places - fives));
    std::string digits = scaled.str();
    if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
    std::string whole = digits.substr(0, digits.size() - places),
                fraction = digits.substr(digits.size() - places);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    text.assign(numerator(q) < 0 ? 1 : 0, u'-');
    for (char c : whole) text += static_cast<char16_t>(c);
    if (!fraction.empty()) {
        text += decimal;
        for (char c : fraction) text += static_cast<char16_t>(c);
    }
    return true;
}

// An exact quotient that does not terminate, rounded half up to kRoundedDigits digits.
std::u16string WrittenRounded(const Rational& q, char16_t decimal, Budget& budget) {
    Integer n = abs(numerator(q)), d = denominator(q);
    std::int64_t exponent =
        static_cast<std::int64_t>(Digits(n)) - static_cast<std::int64_t>(Digits(d));
    const Integer low = pow(Integer(10), kRoundedDigits - 1), high = low * 10;
    for (;;) {
        const std::int64_t shift = static_cast<std::int64_t>(kRoundedDigits) - 1 - exponent;
        const auto scaleBits = static_cast<std::size_t>(std::abs(shift) / kLog10Of2) + 1;
        const std::size_t larger = std::max(Bits(n), Bits(d)) + scaleBits;
        budget.Charge(work::Power(scaleBits) + work::Product(larger, scaleBits) +
                      work::Division(larger + 1, larger - std::min<std::size_t>(larger, 100)));
        Integer top = n, bottom = d;
        if (shift >= 0) {
            top *= pow(Integer(10), static_cast<unsigned>(shift));
        } else {
            bottom *= pow(Integer(10), static_cast<unsigned>(-shift));
        }
        Integer rounded = (2 * top + bottom) / (2 * bottom);
        if (rounded >= high) {
            ++exponent;
        } else if (rounded < low) {
            --exponent;
        } else {
            return Written(numerator(q) < 0, rounded.str(), exponent, decimal);
        }
    }
}

// Written from the bits, in one pass: dividing by the base once a digit costs the square.
std::u16string InBase(const Integer& value, int base) {
    const Integer whole = abs(value);
    std::string digits;
    if (base == 16) {
        digits = whole.str(0, std::ios_base::hex);
        std::transform(digits.begin(), digits.end(), digits.begin(), [](char c) {
            return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
        });
    } else {
        for (std::size_t bit = whole == 0 ? 1 : msb(whole) + 1; bit-- > 0;) {
            digits += bit_test(whole, static_cast<unsigned>(bit)) ? '1' : '0';
        }
    }
    return Ascii((value < 0 ? "-" : "") + std::string(base == 16 ? "0x" : "0b") + digits);
}

}  // namespace torvex::calc::detail
