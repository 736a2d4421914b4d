#pragma once
// What the calculator's steps work with: its numbers (exact rationals of any size, and
// approximations of 50 digits or, where those cannot tell, 120), the bounds on their size and on a
// line's work, and why a line has no result.
#include <boost/multiprecision/cpp_dec_float.hpp>
#include <boost/multiprecision/cpp_int.hpp>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "calculator/Calculator.h"
#include "calculator/Characters.h"
#include "calculator/CalculatorWork.h"

namespace torvex::calc::detail {

namespace mp = boost::multiprecision;
using Integer = mp::cpp_int;
using Rational = mp::cpp_rational;
// Approximations carry 20 digits beyond the 30 shown. A line whose answer these cannot tell
// (digits that cancel, a value next to a whole number, a pole, the end of a domain) is worked out
// again with 90 digits more, and what those cannot tell either is taken as it stands: exp(1e-60)-1
// is about 1e-60, and ln(e)-1 is 0.
using Float = mp::number<mp::cpp_dec_float<50>, mp::et_off>;
using WideFloat = mp::number<mp::cpp_dec_float<120>, mp::et_off>;

constexpr int kMostDepth = 200;  // parentheses, powers and signs within one another
constexpr double kLog10Of2 = 0.301029995663981195;
constexpr double kLog2Of5 = 2.32192809488736234787;
const char16_t kTooLarge[] = u"too large";
const char16_t kTooSmall[] = u"too small";
const char16_t kOutsideDomain[] = u"outside the function's domain";
const char16_t kTooMuchWork[] = u"too much to work out";
// A power whose exponent is so large that the digits carried cannot tell its result.
const char16_t kExponentTooLarge[] = u"exponent too large";
const char16_t kGroupingRefused[] =
    u"digit grouping is not read: write the digits without separators";

// Why there is no result: a text the box shows; `syntax` when the line is no expression at all.
struct Failure {
    std::u16string reason;
    bool syntax = false;
};

[[noreturn]] inline void Fail(const std::u16string& reason, bool syntax = false) {
    throw Failure{reason, syntax};
}

// Thrown when the first, narrower approximations cannot tell the answer: the line is worked out
// again, wider.
struct Wider {};

// The work a line has asked for so far: refused once it passes what one line may ask for.
class Budget {
  public:
    void Charge(double units) {
        spent_ += units;
        if (spent_ > kMostWork) Fail(kTooMuchWork);
    }
    double spent() const { return spent_; }

  private:
    double spent_ = 0;
};

inline std::u16string Ascii(const std::string& text) {
    return {text.begin(), text.end()};
}

// Each worked out once, as the steps ask for them all the time.
// What the last digits of an approximation may be off by, relative to it: less than that is no
// value. Next to a whole number within `Margin`, an approximation cannot be told from it.
// Digits that cancel down to `Kept` leave fewer than the shown ones, with two to spare.
template <class F>
const F& Noise() {
    static const F noise = 10 * std::numeric_limits<F>::epsilon();  // 1e-48 with 50 digits
    return noise;
}
template <class F>
const F& Margin() {
    static const F margin = F(1000000000) * std::numeric_limits<F>::epsilon();  // 1e-40
    return margin;
}
template <class F>
const F& Kept() {  // 1e-18
    static const F kept =
        pow(F(10), static_cast<int>(kRoundedDigits) + 1) * std::numeric_limits<F>::epsilon();
    return kept;
}
// Past this, 50 digits cannot place an angle within the circle, nor a remainder, to 30 digits.
template <class F>
const F& MostQuotient() {
    static const F most = pow(F(10), 20);
    return most;
}
// An error this large, relative to a result, leaves 30 digits right with one to spare.
template <class F>
const F& ShownError() {
    static const F error = pow(F(10), -static_cast<int>(kRoundedDigits) - 1);
    return error;
}
// Below this, the digits carried hold every digit before the point.
template <class F>
const F& HeldWhole() {
    static const F held = pow(F(10), std::numeric_limits<F>::digits10 - 10);  // 1e40
    return held;
}

// A number: exact while only exact steps made it, else an approximation.
template <class F>
struct Value {
    bool exact = true;
    Rational q;
    F f;

    static Value Of(const F& f) {
        Value value;
        value.exact = false;
        value.f = f;
        return value;
    }
    static Value Exact(const Rational& q) {
        Value value;
        value.q = q;
        return value;
    }
    // A whole number, made without the gcd that Boost's rationals take whenever they are made
    // from an expression or worked on, even with a denominator of 1 (4 ms for one of 10,000
    // digits).
    static Value Exact(const Integer& n) {
        Value value;
        value.q = Rational(n);
        return value;
    }
    // n/d, reduced: Boost's rationals refuse a negative denominator.
    static Value Exact(const Integer& n, const Integer& d) {
        return Exact(d < 0 ? Rational(Integer(-n), Integer(-d)) : Rational(n, d));
    }
};

inline std::size_t Bits(const Integer& n) {
    return n == 0 ? 0 : static_cast<std::size_t>(msb(abs(n))) + 1;
}

// The bits of a number's odd part: what a binary gcd works through after one shift.
inline std::size_t OddBits(const Integer& n) {
    return n == 0 ? 0 : Bits(n) - static_cast<std::size_t>(lsb(abs(n)));
}

inline std::size_t Digits(const Integer& n) {
    return n == 0 ? 1 : static_cast<std::size_t>(static_cast<double>(msb(abs(n))) * kLog10Of2) + 1;
}

// Whether a whole number has more than kMostDigits digits, exactly.
inline bool TooManyDigits(const Integer& n) {
    static const Integer kFirstTooLarge = pow(Integer(10), static_cast<unsigned>(kMostDigits));
    const std::size_t digits = Digits(n);  // may be one short
    if (digits + 1 < kMostDigits) return false;
    return digits > kMostDigits + 1 || abs(n) >= kFirstTooLarge;
}

// Refused at once when it grows past what is shown: no later step has to carry it. A fraction
// of too many digits below 1 is too small to be written (1e-10000).
template <class F>
const Value<F>& Bounded(const Value<F>& value) {
    if (value.exact) {
        const Integer &n = numerator(value.q), &d = denominator(value.q);
        if (d == 1 ? TooManyDigits(n) : Digits(n) + Digits(d) > kMostDigits)
            Fail(abs(n) < d ? kTooSmall : kTooLarge);
        return value;
    }
    if (!isfinite(value.f)) Fail(kTooLarge);
    if (value.f != 0) {
        int exponent = 0;
        frexp(value.f, &exponent);
        if (std::abs(exponent) * kLog10Of2 > kMostDigits)
            Fail(exponent > 0 ? kTooLarge : kTooSmall);
    }
    return value;
}

// log10 of a number above 0, to a few digits: enough to tell the size of a power.
inline double Log10(const Integer& n) {
    const std::size_t high = msb(n);
    if (high < 1000) return std::log10(n.convert_to<double>());
    return std::log10((n >> (high - 52)).convert_to<double>()) + (high - 52) * kLog10Of2;
}

// A whole approximation as a whole number. Boost's conversion takes ilogb(0), the lowest int,
// and negates it, which is undefined: 0 is given here.
template <class F>
Integer WholeOf(const F& x) {
    return x == 0 ? Integer(0) : x.template convert_to<Integer>();
}

template <class F>
bool IsInteger(const Value<F>& value) {
    return value.exact && denominator(value.q) == 1;
}

// The whole number at or below q.
inline Integer Floor(const Rational& q) {
    Integer n = numerator(q), d = denominator(q);
    Integer whole = n / d;  // toward zero
    if (n % d != 0 && n < 0) --whole;
    return whole;
}

}  // namespace torvex::calc::detail
