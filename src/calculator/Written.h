#pragma once
// A result written out: an exact whole number or terminating decimal in full, any other value
// rounded to 30 significant digits, in the user's decimal separator; hex() and bin() from the
// bits.
#include <algorithm>
#include <cstdint>
#include <string>

#include "calculator/Numbers.h"
#include "calculator/Parser.h"

namespace torvex::calc::detail {

// Significant `digits` with the decimal point after the first, times 10^`exponent`: written out
// in full for the exponents of everyday numbers, else as 1.5e40.
std::u16string Written(bool negative, std::string digits, std::int64_t exponent, char16_t decimal);
// An exact quotient that terminates, whole; false when it does not terminate.
bool WrittenWhole(const Rational& q, char16_t decimal, Budget& budget, std::u16string& text);
// An exact quotient that does not terminate, rounded half up to kRoundedDigits digits.
std::u16string WrittenRounded(const Rational& q, char16_t decimal, Budget& budget);
// Written from the bits, in one pass: dividing by the base once a digit costs the square.
std::u16string InBase(const Integer& value, int base);

template <class F>
std::u16string WrittenApproximate(const F& f, char16_t decimal) {
    if (f == 0) return u"0";
    std::string text = f.str(kRoundedDigits - 1, std::ios_base::scientific);  // "-3.33e-01"
    const bool negative = text[0] == '-';
    if (negative) text.erase(0, 1);
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, e);
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    return Written(negative, digits, std::stoll(text.substr(e + 1)), decimal);
}

template <class F>
Result ResultOf(const Value<F>& value, Op shownAs, char16_t decimal, Budget& budget) {
    if (shownAs == Op::kHex || shownAs == Op::kBin) {
        if (!IsInteger(value)) Fail(u"hex() and bin() take a whole number");
        const std::size_t bits = Bits(numerator(value.q));
        budget.Charge(shownAs == Op::kHex ? work::HexText(bits) : static_cast<double>(bits));
        return {Kind::kExact, InBase(numerator(value.q), shownAs == Op::kHex ? 16 : 2)};
    }
    if (!value.exact) {
        budget.Charge(work::kFloatFunction);
        return {Kind::kRounded, WrittenApproximate(value.f, decimal)};
    }
    std::u16string text;
    if (WrittenWhole(value.q, decimal, budget, text)) return {Kind::kExact, text};
    return {Kind::kRounded, WrittenRounded(value.q, decimal, budget)};
}

}  // namespace torvex::calc::detail
