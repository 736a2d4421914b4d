#pragma once
// The tree, worked out: exactly while only exact steps made a value, else approximately, with the
// work each step costs counted before it is taken. The arithmetic is in Arithmetic.h, the
// functions in Functions.h; a line is worked out where all three are included.
#include <chrono>
#include <type_traits>
#include <vector>

#include "calculator/Numbers.h"
#include "calculator/Parser.h"

namespace torvex::calc::detail {

template <class F>
class Evaluator {
    using V = Value<F>;

  public:
    // `last`: no wider pass follows, so what cannot be told is taken as it stands.
    Evaluator(const std::vector<Node>& nodes, Budget& budget,
              std::chrono::steady_clock::time_point deadline, bool last)
        : nodes_(nodes), budget_(budget), deadline_(deadline), last_(last) {}

    V Evaluate(int index, int depth = 0);

    // The last guard, far beyond what any line within the work's bound takes.
    void InTime() const;

  private:
    // The steps of approximations cost more the more digits they carry.
    static constexpr double kFloatWeight = std::is_same_v<F, Float> ? 1 : work::kWideFloatWeight;

    void Charge(double units) { budget_.Charge(units); }
    void ChargeFloat(double units) { budget_.Charge(units * kFloatWeight); }

    // What these digits cannot tell is worked out again with more, unless this is the last pass.
    void Unsure() const;

    // An exact value as an approximation: its numerator and denominator read as decimal text.
    F Approximate(const V& value);

    V Apply(const Node& node, int depth);

    // 1+2+3+...: the operators of a chain stand one within the other down the left, however
    // long the line; they are worked out in a loop, so that only nesting counts as depth.
    V Chain(const Node& last, int depth);

    V Literal(const Node& node);

    // What an exact step of fractions costs: Boost's rationals reduce by several gcds at every
    // step, each of them a pass for every bit, also with a number of one word.
    static double FractionCost(Op op, const V& a, const V& b) { return 2.5 * Reductions(op, a, b); }
    static double Reductions(Op op, const V& a, const V& b);

    // Two whole numbers, worked on as whole numbers: no gcd at all but for a quotient that is
    // not whole.
    V WholeArithmetic(Op op, const Integer& x, const Integer& y);

    V Arithmetic(Op op, const V& a, const V& b);

    // What is left when two approximations cancel below the digits they carry is noise, not a
    // result: ln(e)-1 is 0, not 1.7e-50. Where they cancel past the digits to spare, the line is
    // worked out wider: exp(1e-60)-1 is about 1e-60.
    V Sum(const F& x, const F& y);

    // Whether an approximation cannot be told from `step` (a whole number, or a half for round),
    // and the digits hold the whole part: log(1000) is 3, 2.5*pi/pi is 2.5.
    bool Near(const F& x, const F& step);
    bool NearWhole(const F& x) { return Near(x, round(x)); }

    static bool IsZero(const V& value) { return value.exact ? value.q == 0 : value.f == 0; }

    // The remainder with the divisor's sign, as a mathematician's mod: -7 mod 3 is 2.
    V Modulo(const V& a, const V& b);

    V Power(const V& base, const V& exponent);

    // x^y as e^(y ln x). A whole exponent takes any base and gives the sign of an odd power:
    // (-pi)^2; so does one that cannot be told from a whole number: (-2)^ln(e).
    V ApproximatePower(F x, const V& exponent);

    V WholePower(const Rational& base, const Integer& exponent);

    V Function(Op op, const V& a);

    // A result smaller than the angle's own noise is 0 (sin(-450*pi/3)), and a tangent whose
    // cosine is that small is at a pole (tan(-114*pi/12), as tan(pi/2)).
    V Circular(Op op, const F& x);

    // -1 to 1, told exactly for an exact argument (1+1e-80 is outside). Next to an end, where
    // the noise of an approximation weighs most, the line is worked out wider, and a value that
    // is past the end only by its noise is the end: asin(sin(pi/2)).
    V Inverse(Op op, const V& a, F x);

    V Sign(Op op, const V& a);

    V Root(const V& a);

    V Whole(Op op, const V& a);

    V Factorial(const V& a);

    const std::vector<Node>& nodes_;
    Budget& budget_;
    std::chrono::steady_clock::time_point deadline_;
    bool last_;
};

template <class F>
auto Evaluator<F>::Evaluate(int index, int depth) -> V {
    if (depth > kMostDepth) Fail(u"too deeply nested");
    Charge(work::kStep);
    const Node& node = nodes_[index];
    return Bounded(Apply(node, depth));
}

template <class F>
void Evaluator<F>::InTime() const {
    if (std::chrono::steady_clock::now() > deadline_) Fail(u"takes too long");
}

template <class F>
void Evaluator<F>::Unsure() const {
    if (!last_) throw Wider{};
}

template <class F>
auto Evaluator<F>::Approximate(const V& value) -> F {
    if (!value.exact) return value.f;
    const Integer &n = numerator(value.q), &d = denominator(value.q);
    Charge(work::Text(Bits(n)) + work::Text(Bits(d)));
    return F(n.str()) / F(d.str());
}

template <class F>
auto Evaluator<F>::Apply(const Node& node, int depth) -> V {
    switch (node.op) {
        case Op::kNumber:
            return Literal(node);
        case Op::kGrouped:
            Fail(kGroupingRefused);
        case Op::kPi:
            return V::Of(boost::math::constants::pi<F>());
        case Op::kE:
            return V::Of(boost::math::constants::e<F>());
        case Op::kHex:
        case Op::kBin:
            Fail(u"hex() and bin() show the whole result");
        default:
            break;
    }
    if (node.right >= 0) return Chain(node, depth);
    return Function(node.op, Evaluate(node.left, depth + 1));
}

template <class F>
auto Evaluator<F>::Chain(const Node& last, int depth) -> V {
    std::vector<const Node*> chain = {&last};
    while (nodes_[chain.back()->left].right >= 0) chain.push_back(&nodes_[chain.back()->left]);
    V value = Evaluate(chain.back()->left, depth + 1);
    for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
        value = Bounded(Arithmetic((*link)->op, value, Evaluate((*link)->right, depth + 1)));
        InTime();
    }
    return value;
}

}  // namespace torvex::calc::detail
