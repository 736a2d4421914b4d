#pragma once
// An exact calculator for the box's line. Plain portable C++, so that it can be built natively
// too; the arithmetic is Boost.Multiprecision's: rationals of any size for +, -, *, / and whole
// powers, 50-digit decimal floating point for the functions.
#include <string>
#include <string_view>

namespace torvex::calc {

constexpr std::size_t kMostDigits = 10000;     // a larger result is refused as too large
constexpr std::size_t kRoundedDigits = 30;     // significant digits of a rounded result
constexpr std::size_t kMostLineLength = 4095;  // UTF-16 units, as a line
// Only a last guard: what a line may cost is bounded by its work (CalculatorWork.h), so that its
// answer does not depend on the machine's speed; no line within that bound comes near this.
constexpr double kMostMilliseconds = 1000;

enum class Kind {
    kNone,     // no calculation: the line goes on as before
    kExact,    // "= 42"
    kRounded,  // "≈ 0.333333333333333333333333333333"
    kError,    // "= ? division by zero": a calculation that has no result
};

struct Result {
    Kind kind = Kind::kNone;
    std::u16string value;  // the result as the field and the clipboard take it; or the reason
    double work = 0;       // what working it out cost, in the units of CalculatorWork.h
    // What the box draws after the typed text.
    std::u16string Shown() const;
};

// `line` as a calculation, with `decimal` the user's decimal separator ('.' or ','): one that
// starts with "=" always is; one without "=" is when it parses whole as an expression and holds
// an operator or a function. The result uses `decimal`, without digit grouping.
Result Calculate(std::u16string_view line, char16_t decimal = u'.');

}  // namespace torvex::calc
