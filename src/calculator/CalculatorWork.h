#pragma once
// What the calculator's big-number steps cost, worked out from the sizes of their operands before
// each step is taken, so that a line's answer (its result, or "too much to work out") is the same
// on any machine, however fast or busy, and in either lane. The unit is one step of a binary gcd
// over one 64-bit word (about a quarter of a nanosecond on a desktop's core); the weights were
// measured on Boost.Multiprecision's algorithms (bench/calculator_bench.cpp): schoolbook products
// and divisions, binary gcds (a pass over the words for every bit, also when one number is 1),
// decimal text written by division.
#include <algorithm>
#include <cstddef>

namespace torvex::calc {

// The most work one line may ask for: its heaviest line stays well within 50 ms in both lanes
// (bench/calculator_bench.cpp).
constexpr double kMostWork = 22.0e6;

namespace work {

constexpr double kStep = 50;               // any step at all, with numbers of a word
constexpr double kFloatStep = 2000;        // +, -, *, / of two 50-digit approximations
constexpr double kFloatFunction = 130000;  // a function of one: exp, ln, pow, sin...
// Each step of the 120-digit approximations that a line which 50 digits cannot tell is worked
// out with, against one of 50 digits.
constexpr double kWideFloatWeight = 6;

inline double Words(std::size_t bits) {
    return static_cast<double>(bits) / 64 + 1;
}
inline double Linear(std::size_t a, std::size_t b) {
    return Words(a) + Words(b);
}
inline double Product(std::size_t a, std::size_t b) {
    return 1.5 * Words(a) * Words(b);
}
// A quotient: a pass over the dividend for every word of the quotient, but for a divisor of one
// 32-bit word (a single pass).
inline double Division(std::size_t dividend, std::size_t divisor) {
    if (divisor <= 32) return Linear(dividend, divisor);
    const double quotient = dividend > divisor ? Words(dividend - divisor) : 1;
    return 10 * Words(dividend) * quotient;
}
// A pass over the words for every bit, whatever the other number: Boost's binary gcd.
inline double Gcd(std::size_t a, std::size_t b) {
    return 1.6 * static_cast<double>(a + b + 1) * Words(std::max(a, b));
}
// A whole power of `bits` bits, by squaring.
inline double Power(std::size_t bits) {
    return 1.5 * Words(bits) * Words(bits);
}
// The decimal digits of a number of `bits` bits, by division; its hexadecimal ones.
inline double Text(std::size_t bits) {
    return 48 * Words(bits) * Words(bits);
}
inline double HexText(std::size_t bits) {
    return 24 * Words(bits) * Words(bits);
}
// The digits of a number of `bits` bits, read from the line one at a time.
inline double Reading(std::size_t bits) {
    return 0.6 * static_cast<double>(bits) * Words(bits);
}
// A whole square root, by Newton's steps.
inline double Root(std::size_t bits) {
    return 140 * Words(bits) * Words(bits);
}
// n! of `bits` bits: each factor a pass over the product so far.
inline double Factorial(std::size_t n, std::size_t bits) {
    return 1.5 * static_cast<double>(n) * Words(bits);
}

}  // namespace work
}  // namespace torvex::calc
