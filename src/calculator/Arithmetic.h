#pragma once
// The calculator's arithmetic: numbers as the line writes them, +, -, *, /, mod and powers, exact
// where they can be and approximate where they cannot.
#include <algorithm>

#include "calculator/Evaluator.h"

namespace torvex::calc::detail {

template <class F>
auto Evaluator<F>::Literal(const Node& node) -> V {
    const std::size_t mantissaBits = Bits(node.mantissa);
    Charge(work::Reading(mantissaBits));
    if (node.exponent == 0 || node.mantissa == 0) return V::Exact(node.mantissa);
    if (std::abs(node.exponent) > static_cast<std::int64_t>(kMostDigits) + 4096)
        Fail(node.exponent > 0 ? kTooLarge : kTooSmall);
    const auto scaleBits = static_cast<std::size_t>(std::abs(node.exponent) / kLog10Of2) + 1;
    const auto fivesBits = static_cast<std::size_t>(std::abs(node.exponent) * kLog2Of5) + 1;
    Charge(work::Power(scaleBits) + (node.exponent > 0
                                         ? work::Product(mantissaBits, scaleBits)
                                         : work::Gcd(OddBits(node.mantissa), fivesBits)));
    const Integer scale = pow(Integer(10), static_cast<unsigned>(std::abs(node.exponent)));
    if (node.exponent > 0) return V::Exact(Integer(node.mantissa * scale));
    return V::Exact(node.mantissa, scale);
}

template <class F>
double Evaluator<F>::Reductions(Op op, const V& a, const V& b) {
    const std::size_t na = Bits(numerator(a.q)), da = Bits(denominator(a.q)),
                      nb = Bits(numerator(b.q)), db = Bits(denominator(b.q));
    const std::size_t top = std::max(na + db, nb + da), bottom = da + db;
    switch (op) {
        case Op::kAdd:
        case Op::kSubtract:
            return work::Gcd(da, db) + work::Gcd(top, std::min(da, db)) +
                   3 * work::Product(top, bottom);
        case Op::kMultiply:
            return work::Gcd(na, db) + work::Gcd(nb, da) + 2 * work::Product(top, bottom);
        case Op::kDivide:
            return work::Gcd(na, nb) + work::Gcd(da, db) + 2 * work::Product(top, bottom);
        default:  // mod: a quotient, its floor, a product and a difference
            return 3 * (work::Gcd(top, bottom) + work::Division(top, bottom));
    }
}

template <class F>
auto Evaluator<F>::WholeArithmetic(Op op, const Integer& x, const Integer& y) -> V {
    const std::size_t nx = Bits(x), ny = Bits(y);
    switch (op) {
        case Op::kAdd:
            Charge(work::Linear(nx, ny));
            return V::Exact(Integer(x + y));
        case Op::kSubtract:
            Charge(work::Linear(nx, ny));
            return V::Exact(Integer(x - y));
        case Op::kMultiply:
            // A product too large is refused before it is made.
            if (x != 0 && y != 0 && Digits(x) + Digits(y) > kMostDigits + 2) Fail(kTooLarge);
            Charge(work::Product(nx, ny));
            return V::Exact(Integer(x * y));
        case Op::kDivide: {
            if (y == 0) Fail(u"division by zero");
            Charge(work::Division(nx, ny));
            Integer quotient, remainder;
            divide_qr(x, y, quotient, remainder);
            if (remainder == 0) return V::Exact(quotient);
            Charge(work::Gcd(OddBits(x), OddBits(y)));
            return V::Exact(x, y);
        }
        default: {  // mod, with the divisor's sign: -7 mod 3 is 2
            if (y == 0) Fail(u"division by zero");
            Charge(work::Division(nx, ny));
            Integer rest = x % y;
            if (rest != 0 && (rest < 0) != (y < 0)) rest += y;
            return V::Exact(rest);
        }
    }
}

template <class F>
auto Evaluator<F>::Arithmetic(Op op, const V& a, const V& b) -> V {
    if (op != Op::kPower && IsInteger(a) && IsInteger(b))
        return WholeArithmetic(op, numerator(a.q), numerator(b.q));
    const bool exact = a.exact && b.exact;
    if (exact) {
        Charge(FractionCost(op, a, b));
    } else if (op != Op::kPower) {
        ChargeFloat(work::kFloatStep);
    }
    switch (op) {
        case Op::kAdd:
            return exact ? V::Exact(a.q + b.q) : Sum(Approximate(a), Approximate(b));
        case Op::kSubtract:
            return exact ? V::Exact(a.q - b.q) : Sum(Approximate(a), -Approximate(b));
        case Op::kMultiply:
            return exact ? V::Exact(a.q * b.q) : V::Of(Approximate(a) * Approximate(b));
        case Op::kDivide:
            if (IsZero(b)) Fail(u"division by zero");
            return exact ? V::Exact(a.q / b.q) : V::Of(Approximate(a) / Approximate(b));
        case Op::kModulo:
            return Modulo(a, b);
        default:
            return Power(a, b);
    }
}

template <class F>
auto Evaluator<F>::Sum(const F& x, const F& y) -> V {
    const F sum = x + y, larger = std::max(abs(x), abs(y));
    if (abs(sum) < larger * Kept<F>()) Unsure();
    if (abs(sum) <= larger * Noise<F>()) return V::Of(F(0));
    return V::Of(sum);
}

template <class F>
bool Evaluator<F>::Near(const F& x, const F& step) {
    // Relative to the value itself: a tiny quotient (5 mod exp(300)) is no whole 0.
    if (abs(x) >= HeldWhole<F>() || abs(x - step) > Margin<F>() * abs(x)) return false;
    Unsure();
    return true;
}

template <class F>
auto Evaluator<F>::Modulo(const V& a, const V& b) -> V {
    if (IsZero(b)) Fail(u"division by zero");
    if (a.exact && b.exact) {
        Rational quotient = a.q / b.q;
        return V::Exact(Rational(a.q - b.q * Rational(Floor(quotient))));
    }
    const F x = Approximate(a), y = Approximate(b), quotient = x / y;
    // Past that, 50 digits cannot tell the remainder to 30 digits, as with sin.
    if (abs(quotient) > MostQuotient<F>()) Fail(kTooLarge);
    // A quotient that cannot be told from a whole number leaves nothing: 2*pi mod pi is 0,
    // neither pi nor noise.
    if (NearWhole(quotient)) return V::Of(F(0));
    return V::Of(x - y * floor(quotient));
}

template <class F>
auto Evaluator<F>::Power(const V& base, const V& exponent) -> V {
    if (base.exact && IsInteger(exponent)) return WholePower(base.q, numerator(exponent.q));
    if (base.exact && base.q == 1) return V::Of(F(1));
    return ApproximatePower(Approximate(base), exponent);
}

template <class F>
auto Evaluator<F>::ApproximatePower(F x, const V& exponent) -> V {
    ChargeFloat(3 * work::kFloatFunction);  // a logarithm, a product and an exponential
    F y = Approximate(exponent);
    bool negative = false;
    if (x < 0) {
        if (!IsInteger(exponent) && !NearWhole(y)) Fail(kOutsideDomain);
        y = round(y);
        negative = bit_test(abs(IsInteger(exponent) ? numerator(exponent.q) : WholeOf(y)), 0);
        x = -x;
    }
    if (x == 0) {
        if (y < 0) Fail(u"division by zero");
        return V::Of(F(y == 0 ? 1 : 0));  // an approximation stays one
    }
    // What y ln x may be off by: the size of the exponent times the noise of the logarithm.
    const F spread = abs(y) * Noise<F>(), size = y * log10(x);
    // Too large or too small before it is worked out: e^(y ln x) beyond the digits.
    if (abs(size) - spread > F(kMostDigits)) Fail(size > 0 ? kTooLarge : kTooSmall);
    // An exponent so large that the digits cannot tell the result: 1.0000001^(10^40).
    if (spread > ShownError<F>()) {
        Unsure();
        Fail(kExponentTooLarge);
    }
    const F power = pow(x, y);
    return V::Of(negative ? -power : power);
}

template <class F>
auto Evaluator<F>::WholePower(const Rational& base, const Integer& exponent) -> V {
    if (base == 0) {
        if (exponent < 0) Fail(u"division by zero");
        return V::Exact(Rational(exponent == 0 ? 1 : 0));
    }
    Integer n = numerator(base), d = denominator(base);
    if (abs(n) == 1 && d == 1) {
        bool odd = bit_test(abs(exponent), 0);
        return V::Exact(Rational(n < 0 && odd ? -1 : 1));
    }
    // Where the exact power would have too many digits, it is worked out approximately
    // and refused only when the value itself is past the bounds: (1+0.05/365)^(365*30) is
    // an ordinary number, 9^9^9 takes neither time nor memory.
    if (abs(exponent) > Integer(kMostDigits * 4) ||
        abs(exponent).convert_to<double>() * (Log10(abs(n)) + Log10(d)) > kMostDigits + 1.0) {
        return ApproximatePower(Approximate(V::Exact(base)), V::Exact(exponent));
    }
    unsigned power = abs(exponent).convert_to<unsigned>();
    const auto bitsOf = [power](const Integer& x) {
        return x == 1 ? 0 : static_cast<std::size_t>(power * Log10(abs(x)) / kLog10Of2) + 1;
    };
    const std::size_t top = bitsOf(n), bottom = bitsOf(d);
    Charge(work::Power(top) + work::Power(bottom));
    // The gcd below works through the odd parts: none for a power of 2.
    const auto oddBitsOf = [&bitsOf](const Integer& x) {
        return bitsOf(Integer(abs(x) >> static_cast<unsigned>(lsb(abs(x)))));
    };
    const Integer upper = pow(n, power), lower = pow(d, power);
    // A whole power of a whole number needs no reducing; a fraction's, or its inverse, one
    // gcd, which Boost's rationals take (and which cost milliseconds at 10,000 digits).
    if (d == 1 && exponent > 0) return V::Exact(upper);
    Charge(work::Gcd(oddBitsOf(n), oddBitsOf(d)));
    return exponent < 0 ? V::Exact(lower, upper) : V::Exact(upper, lower);
}

}  // namespace torvex::calc::detail
