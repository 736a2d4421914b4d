#pragma once
// The calculator's functions of one value: signs, roots, the trigonometric functions and their
// inverses, exp and the logarithms, rounding, and the factorial.
#include <algorithm>
#include <cmath>

#include "calculator/Evaluator.h"

namespace torvex::calc::detail {

template <class F>
auto Evaluator<F>::Function(Op op, const V& a) -> V {
    if (op == Op::kNegate || op == Op::kAbs) return Sign(op, a);
    if (op == Op::kFactorial) return Factorial(a);
    if (op == Op::kFloor || op == Op::kCeil || op == Op::kRound) return Whole(op, a);
    if (op == Op::kSqrt) return Root(a);
    if (a.exact && a.q == 0 &&
        (op == Op::kSin || op == Op::kTan || op == Op::kAsin || op == Op::kAtan)) {
        return V::Exact(Rational(0));
    }
    if (a.exact && ((a.q == 0 && (op == Op::kExp || op == Op::kCos)) ||
                    (a.q == 1 && (op == Op::kLn || op == Op::kLog)))) {
        return V::Exact(Rational(op == Op::kExp || op == Op::kCos ? 1 : 0));
    }
    F x = Approximate(a);
    ChargeFloat(work::kFloatFunction);
    switch (op) {
        case Op::kExp:
            if (abs(x) > F(kMostDigits) * log(F(10))) Fail(x > 0 ? kTooLarge : kTooSmall);
            return V::Of(exp(x));
        case Op::kLn:
        case Op::kLog: {
            if (x <= 0) Fail(kOutsideDomain);
            // Next to 1 the result is the argument's own noise, which is no value: ln(ln(e)) is 0.
            const F value = op == Op::kLn ? log(x) : log10(x);
            if (abs(value) > Noise<F>()) return V::Of(value);
            Unsure();
            return V::Of(F(0));
        }
        case Op::kSin:
        case Op::kCos:
        case Op::kTan:
            // Past that, 50 digits cannot place the angle within the circle to 30 digits.
            if (abs(x) > MostQuotient<F>()) Fail(kTooLarge);
            return Circular(op, x);
        case Op::kAsin:
        case Op::kAcos:
            return Inverse(op, a, x);
        default:
            return V::Of(atan(x));
    }
}

template <class F>
auto Evaluator<F>::Circular(Op op, const F& x) -> V {
    const F noise = abs(x) * Noise<F>();
    if (op == Op::kTan) {
        ChargeFloat(work::kFloatFunction);
        if (abs(cos(x)) <= noise) {
            Unsure();
            Fail(kOutsideDomain);
        }
        return V::Of(tan(x));
    }
    const F value = op == Op::kSin ? sin(x) : cos(x);
    if (abs(value) > noise) return V::Of(value);
    Unsure();
    return V::Of(F(0));
}

template <class F>
auto Evaluator<F>::Inverse(Op op, const V& a, F x) -> V {
    if (a.exact ? abs(a.q) > 1 : abs(x) > 1 + Noise<F>()) Fail(kOutsideDomain);
    if (!a.exact && abs(x) > 1 - Kept<F>()) {
        Unsure();
        if (abs(x) > 1) x = x > 0 ? F(1) : F(-1);
    }
    return V::Of(op == Op::kAsin ? asin(x) : acos(x));
}

template <class F>
auto Evaluator<F>::Sign(Op op, const V& a) -> V {
    if (!a.exact) return V::Of(op == Op::kNegate ? -a.f : abs(a.f));
    if (IsInteger(a)) {
        Integer n = numerator(a.q);
        if (op == Op::kNegate || n < 0) n = -n;
        return V::Exact(n);
    }
    Charge(work::Gcd(Bits(numerator(a.q)), Bits(denominator(a.q))));
    if (op == Op::kAbs && a.q >= 0) return a;
    return V::Exact(Rational(-a.q));
}

template <class F>
auto Evaluator<F>::Root(const V& a) -> V {
    if (a.exact) {
        if (a.q < 0) Fail(kOutsideDomain);
        Integer n = numerator(a.q), d = denominator(a.q);
        Charge(work::Root(Bits(n)) + work::Root(Bits(d)));
        Integer rn = sqrt(n), rd = sqrt(d);
        if (rn * rn == n && rd * rd == d) {
            if (rd == 1) return V::Exact(rn);
            Charge(work::Gcd(Bits(rn), Bits(rd)));
            return V::Exact(rn, rd);
        }
    }
    F x = Approximate(a);
    ChargeFloat(work::kFloatFunction);
    if (x < 0) Fail(kOutsideDomain);
    return V::Of(sqrt(x));
}

template <class F>
auto Evaluator<F>::Whole(Op op, const V& a) -> V {
    if (!a.exact) {
        ChargeFloat(4 * work::kFloatStep);
        const F x = a.f;
        // Where the digits hold every digit before the point and the value is clear of the
        // steps where the answer changes (whole numbers; halves for round), the whole number
        // is known: round(pi) is 3, and 3! can follow. A value that cannot be told from a
        // step is taken as that step, not known exactly: ceil(ln(e)) is about 1, and
        // round(2.5*pi/pi) about 3, as round(2.5) is 3.
        if (op != Op::kRound && NearWhole(x)) return V::Of(round(x));
        const F half = floor(x) + F(1) / 2;
        if (op == Op::kRound && Near(x, half)) return V::Of(round(half));
        const F whole = op == Op::kFloor ? floor(x) : op == Op::kCeil ? ceil(x) : round(x);
        if (abs(whole) < HeldWhole<F>()) return V::Exact(WholeOf(whole));
        return V::Of(whole);
    }
    if (IsInteger(a)) return a;
    const Integer &n = numerator(a.q), &d = denominator(a.q);
    Charge(work::Division(Bits(n), Bits(d)) + work::Product(Bits(n), 2));
    Integer down = Floor(a.q);
    if (op == Op::kFloor) return V::Exact(down);
    if (op == Op::kCeil) return V::Exact(Integer(down + 1));
    // Half away from zero, as round does: up when twice what is left reaches the denominator.
    const Integer twiceRest = 2 * (n - down * d);
    const bool up = n >= 0 ? twiceRest >= d : twiceRest > d;
    return V::Exact(up ? Integer(down + 1) : down);
}

template <class F>
auto Evaluator<F>::Factorial(const V& a) -> V {
    // One that cannot be told from a whole number is taken as that number, and the result
    // as an approximation: log(1000)! is about 6, as floor(pi)! is 6.
    if (!a.exact && a.f >= 0 && NearWhole(a.f)) {
        return V::Of(Approximate(Factorial(V::Exact(WholeOf(F(round(a.f)))))));
    }
    if (!IsInteger(a) || a.q < 0) Fail(kOutsideDomain);
    Integer n = numerator(a.q);
    if (n > 100000 || std::lgamma(n.convert_to<double>() + 1) / std::log(10.0) > kMostDigits) {
        Fail(kTooLarge);
    }
    const unsigned last = n.convert_to<unsigned>();
    const auto bits =
        static_cast<std::size_t>(std::lgamma(static_cast<double>(last) + 1) / std::log(2.0));
    Charge(work::Factorial(last, bits));
    Integer product = 1;
    for (unsigned i = 2; i <= last; ++i) product *= i;
    return V::Exact(product);
}

}  // namespace torvex::calc::detail
