#include "calculator/Calculator.h"

#include "calculator/CalculatorWork.h"
#include "calculator/Lookalikes.h"

#include <boost/multiprecision/cpp_dec_float.hpp>
#include <boost/multiprecision/cpp_int.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

namespace torvex::calc {
namespace {

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
constexpr char16_t kTimes = u'\u00D7', kDivide = u'\u00F7', kMinus = u'\u2212';
const char16_t kTooLarge[] = u"too large";
const char16_t kTooSmall[] = u"too small";
const char16_t kOutsideDomain[] = u"outside the function's domain";
const char16_t kTooMuchWork[] = u"too much to work out";
const char16_t kGroupingRefused[] =
    u"digit grouping is not read: write the digits without separators";

// Why there is no result: a text the box shows; `syntax` when the line is no expression at all.
struct Failure {
    std::u16string reason;
    bool syntax = false;
};

[[noreturn]] void Fail(const std::u16string& reason, bool syntax = false) {
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

std::u16string Ascii(const std::string& text) {
    return {text.begin(), text.end()};
}

// What the last digits of an approximation may be off by, relative to it: less than that is no
// value. Next to a whole number within `Margin`, an approximation cannot be told from it.
// Digits that cancel down to `Kept` leave fewer than the shown ones, with two to spare.
template <class F>
F Noise() {
    return 10 * std::numeric_limits<F>::epsilon();  // 1e-48 with 50 digits
}
template <class F>
F Margin() {
    return F("1e9") * std::numeric_limits<F>::epsilon();  // 1e-40
}
template <class F>
F Kept() {  // 1e-18
    return pow(F(10), static_cast<int>(kRoundedDigits) + 1) * std::numeric_limits<F>::epsilon();
}
// Below this, the digits carried hold every digit before the point.
template <class F>
F HeldWhole() {
    return pow(F(10), std::numeric_limits<F>::digits10 - 10);  // 1e40
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

std::size_t Bits(const Integer& n) {
    return n == 0 ? 0 : static_cast<std::size_t>(msb(abs(n))) + 1;
}

// The bits of a number's odd part: what a binary gcd works through after one shift.
std::size_t OddBits(const Integer& n) {
    return n == 0 ? 0 : Bits(n) - static_cast<std::size_t>(lsb(abs(n)));
}

std::size_t Digits(const Integer& n) {
    return n == 0 ? 1 : static_cast<std::size_t>(static_cast<double>(msb(abs(n))) * kLog10Of2) + 1;
}

// Whether a whole number has more than kMostDigits digits, exactly.
bool TooManyDigits(const Integer& n) {
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
double Log10(const Integer& n) {
    const std::size_t high = msb(n);
    if (high < 1000) return std::log10(n.convert_to<double>());
    return std::log10((n >> (high - 52)).convert_to<double>()) + (high - 52) * kLog10Of2;
}

template <class F>
bool IsInteger(const Value<F>& value) {
    return value.exact && denominator(value.q) == 1;
}

// --- the line, read into a tree -------------------------------------------------------------

enum class Op {
    kNumber,
    kPi,
    kE,
    kNegate,
    kAdd,
    kSubtract,
    kMultiply,
    kDivide,
    kModulo,
    kPower,
    kFactorial,
    kSqrt,
    kExp,
    kLn,
    kLog,
    kSin,
    kCos,
    kTan,
    kAsin,
    kAcos,
    kAtan,
    kAbs,
    kRound,
    kFloor,
    kCeil,
    kHex,
    kBin,
    kGrouped,
};

struct Node {
    Node(Op op, int left = -1, int right = -1) : op(op), left(left), right(right) {}
    Op op;
    int left, right;
    Integer mantissa;  // a number: mantissa x 10^exponent
    std::int64_t exponent = 0;
};

struct Name {
    const char* text;
    Op op;
};
const Name kFunctions[] = {
    {"sqrt", Op::kSqrt},   {"exp", Op::kExp},   {"ln", Op::kLn},   {"log", Op::kLog},
    {"sin", Op::kSin},     {"cos", Op::kCos},   {"tan", Op::kTan}, {"asin", Op::kAsin},
    {"acos", Op::kAcos},   {"atan", Op::kAtan}, {"abs", Op::kAbs}, {"round", Op::kRound},
    {"floor", Op::kFloor}, {"ceil", Op::kCeil}, {"hex", Op::kHex}, {"bin", Op::kBin},
};

bool IsDigit(char16_t c, int base = 10) {
    if (base == 16)
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    return c >= u'0' && c < u'0' + base;
}
bool IsLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
int DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    return (c | 0x20) - u'a' + 10;
}

class Parser {
  public:
    Parser(std::u16string_view text, char16_t decimal) : text_(text), decimal_(decimal) {}

    int Parse() {
        int root = Expression(0);
        Skip();
        if (at_ < text_.size())
            Fail(text_[at_] == u')' ? u"a parenthesis not opened" : u"not an expression", true);
        return root;
    }
    const std::vector<Node>& nodes() const { return nodes_; }
    bool operated() const { return operated_; }
    bool unclosed() const { return unclosed_; }

  private:
    void Skip() {
        while (at_ < text_.size() && (text_[at_] == u' ' || text_[at_] == u'\t')) ++at_;
    }
    char16_t Peek() {
        Skip();
        return at_ < text_.size() ? text_[at_] : u'\0';
    }
    bool Take(char16_t c) {
        if (Peek() != c) return false;
        ++at_;
        return true;
    }
    // The word at the caret, lowered, without taking it.
    std::string WordAhead() {
        Skip();
        std::string word;
        for (std::size_t i = at_; i < text_.size() && IsLetter(text_[i]); ++i) {
            word += static_cast<char>(text_[i] | 0x20);
        }
        return word;
    }
    int Add(Node node) {
        nodes_.push_back(std::move(node));
        return static_cast<int>(nodes_.size()) - 1;
    }
    int Binary(Op op, int left, int right) {
        operated_ = true;
        return Add({op, left, right});
    }
    void Deeper(int depth) {
        if (depth > kMostDepth) Fail(u"too deeply nested", true);  // without "=": no sum
    }

    int Expression(int depth) {
        Deeper(depth);
        int left = Term(depth);
        for (;;) {
            char16_t c = Peek();
            if (c == u'+') {
                ++at_, left = Binary(Op::kAdd, left, Term(depth));
            } else if (c == u'-' || c == kMinus) {
                ++at_, left = Binary(Op::kSubtract, left, Term(depth));
            } else {
                return left;
            }
        }
    }

    int Term(int depth) {
        int left = Unary(depth);
        for (;;) {
            char16_t c = Peek();
            if (c == u'*' || c == kTimes) {
                ++at_, left = Binary(Op::kMultiply, left, Unary(depth));
            } else if (c == u'/' || c == kDivide) {
                ++at_, left = Binary(Op::kDivide, left, Unary(depth));
            } else if (WordAhead() == "mod") {
                at_ += 3, left = Binary(Op::kModulo, left, Unary(depth));
            } else {
                return left;
            }
        }
    }

    int Unary(int depth) {
        Deeper(depth);
        if (Take(u'-') || Take(kMinus)) {
            operated_ = true;
            return Add({Op::kNegate, Unary(depth + 1)});
        }
        if (Take(u'+')) {
            operated_ = true;
            return Unary(depth + 1);
        }
        int base = Postfix(depth);
        if (!Take(u'^')) return base;
        return Binary(Op::kPower, base, Unary(depth + 1));  // 2^3^2 is 2^9, 2^-1 a half
    }

    int Postfix(int depth) {
        int value = Primary(depth);
        while (Take(u'!')) {
            operated_ = true;
            value = Add({Op::kFactorial, value});
        }
        return value;
    }

    int Primary(int depth) {
        char16_t c = Peek();
        if (c == u'(') {
            ++at_;
            int inner = Expression(depth + 1);
            Close();
            return inner;
        }
        if (IsDigit(c) ||
            ((c == u'.' || c == decimal_) && at_ + 1 < text_.size() && IsDigit(text_[at_ + 1]))) {
            return Number();
        }
        std::string word = WordAhead();
        if (word.empty()) Fail(c == u'\0' ? u"incomplete" : u"not an expression", true);
        at_ += word.size();
        if (word == "pi") return Add({Op::kPi});
        if (word == "e") return Add({Op::kE});
        for (const Name& function : kFunctions) {
            if (word != function.text) continue;
            if (!Take(u'(')) Fail(u"a function needs its parentheses", true);
            operated_ = true;
            int argument = Expression(depth + 1);
            Close();
            return Add({function.op, argument});
        }
        Fail(u"unknown name \"" + Ascii(word) + u"\"", true);
    }

    // A parenthesis still open at the end is a calculation being typed.
    void Close() {
        if (Take(u')')) return;
        if (Peek() != u'\0') Fail(u"not an expression", true);
        unclosed_ = true;
    }

    int Number() {
        Node node(Op::kNumber);
        if (text_[at_] == u'0' && at_ + 2 < text_.size() && (text_[at_ + 1] | 0x20) == u'x') {
            node.mantissa = Based(16);
        } else if (text_[at_] == u'0' && at_ + 2 < text_.size() &&
                   (text_[at_ + 1] | 0x20) == u'b' && IsDigit(text_[at_ + 2], 2)) {
            node.mantissa = Based(2);
        } else {
            Decimal(node);
        }
        // "7zip", "2e", "0x1g": a name, not a number.
        if (at_ < text_.size() && (IsLetter(text_[at_]) || IsDigit(text_[at_]))) {
            Fail(u"not an expression", true);
        }
        return Add(std::move(node));
    }

    Integer Based(int base) {
        at_ += 2;
        if (at_ >= text_.size() || !IsDigit(text_[at_], base)) Fail(u"not an expression", true);
        Integer value = 0;
        while (at_ < text_.size() && IsDigit(text_[at_], base)) {
            value = value * base + DigitValue(text_[at_++]);
        }
        return value;
    }

    void Digits(Node& node, int& count) {
        while (at_ < text_.size() && IsDigit(text_[at_])) {
            node.mantissa = node.mantissa * 10 + DigitValue(text_[at_++]);
            ++count;
        }
    }

    void Decimal(Node& node) {
        int whole = 0, fraction = 0;
        Digits(node, whole);
        // "1,002" where "," is no decimal point is digit grouping: refused, never guessed.
        if (decimal_ != u',' && at_ + 1 < text_.size() && text_[at_] == u',' &&
            IsDigit(text_[at_ + 1])) {
            node.op = Op::kGrouped;
            while (at_ + 1 < text_.size() && text_[at_] == u',' && IsDigit(text_[at_ + 1])) {
                ++at_;
                Digits(node, whole);
            }
        }
        if (at_ < text_.size() && (text_[at_] == u'.' || text_[at_] == decimal_)) {
            ++at_;
            Digits(node, fraction);
            // "1.000.000": after "=", a second point after digits is refused as grouping is;
            // without, the line is no sum ("192.168.0.1/24" is not one).
            if (fraction > 0 && at_ + 1 < text_.size() &&
                (text_[at_] == u'.' || text_[at_] == decimal_) && IsDigit(text_[at_ + 1])) {
                Fail(kGroupingRefused, true);
            }
        }
        node.exponent = -fraction;
        if (at_ + 1 < text_.size() && (text_[at_] | 0x20) == u'e' &&
            (IsDigit(text_[at_ + 1]) || ((text_[at_ + 1] == u'+' || text_[at_ + 1] == u'-') &&
                                         at_ + 2 < text_.size() && IsDigit(text_[at_ + 2])))) {
            ++at_;
            bool negative = text_[at_] == u'-';
            if (text_[at_] == u'+' || text_[at_] == u'-') ++at_;
            std::int64_t power = 0;
            while (at_ < text_.size() && IsDigit(text_[at_])) {
                if (power < 1000000000) power = power * 10 + DigitValue(text_[at_]);
                ++at_;
            }
            node.exponent += negative ? -power : power;
        }
    }

    std::u16string_view text_;
    char16_t decimal_;
    std::size_t at_ = 0;
    std::vector<Node> nodes_;
    bool operated_ = false;
    bool unclosed_ = false;
};

// --- the tree, worked out ----------------------------------------------------------------------

template <class F>
class Evaluator {
    using V = Value<F>;

  public:
    // `last`: no wider pass follows, so what cannot be told is taken as it stands.
    Evaluator(const std::vector<Node>& nodes, Budget& budget,
              std::chrono::steady_clock::time_point deadline, bool last)
        : nodes_(nodes), budget_(budget), deadline_(deadline), last_(last) {}

    V Evaluate(int index, int depth = 0) {
        if (depth > kMostDepth) Fail(u"too deeply nested");
        Charge(work::kStep);
        const Node& node = nodes_[index];
        return Bounded(Apply(node, depth));
    }

    // The last guard, far beyond what any line within the work's bound takes.
    void InTime() const {
        if (std::chrono::steady_clock::now() > deadline_) Fail(u"takes too long");
    }

  private:
    // The steps of approximations cost more the more digits they carry.
    static constexpr double kFloatWeight = std::is_same_v<F, Float> ? 1 : work::kWideFloatWeight;

    void Charge(double units) { budget_.Charge(units); }
    void ChargeFloat(double units) { budget_.Charge(units * kFloatWeight); }

    // What these digits cannot tell is worked out again with more, unless this is the last pass.
    void Unsure() const {
        if (!last_) throw Wider{};
    }

    // An exact value as an approximation: its numerator and denominator read as decimal text.
    F Approximate(const V& value) {
        if (!value.exact) return value.f;
        const Integer &n = numerator(value.q), &d = denominator(value.q);
        Charge(work::Text(Bits(n)) + work::Text(Bits(d)));
        return F(n.str()) / F(d.str());
    }

    V Apply(const Node& node, int depth) {
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

    // 1+2+3+...: the operators of a chain stand one within the other down the left, however
    // long the line; they are worked out in a loop, so that only nesting counts as depth.
    V Chain(const Node& last, int depth) {
        std::vector<const Node*> chain = {&last};
        while (nodes_[chain.back()->left].right >= 0) chain.push_back(&nodes_[chain.back()->left]);
        V value = Evaluate(chain.back()->left, depth + 1);
        for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
            value = Bounded(Arithmetic((*link)->op, value, Evaluate((*link)->right, depth + 1)));
            InTime();
        }
        return value;
    }

    V Literal(const Node& node) {
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

    // What an exact step of fractions costs: Boost's rationals reduce by several gcds at every
    // step, each of them a pass for every bit, also with a number of one word.
    static double FractionCost(Op op, const V& a, const V& b) { return 2.5 * Reductions(op, a, b); }
    static double Reductions(Op op, const V& a, const V& b) {
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

    // Two whole numbers, worked on as whole numbers: no gcd at all but for a quotient that is
    // not whole.
    V WholeArithmetic(Op op, const Integer& x, const Integer& y) {
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

    V Arithmetic(Op op, const V& a, const V& b) {
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

    // What is left when two approximations cancel below the digits they carry is noise, not a
    // result: ln(e)-1 is 0, not 1.7e-50. Where they cancel past the digits to spare, the line is
    // worked out wider: exp(1e-60)-1 is about 1e-60.
    V Sum(const F& x, const F& y) {
        const F sum = x + y, larger = std::max(abs(x), abs(y));
        if (abs(sum) < larger * Kept<F>()) Unsure();
        if (abs(sum) <= larger * Noise<F>()) return V::Of(F(0));
        return V::Of(sum);
    }

    // Whether an approximation cannot be told from `step` (a whole number, or a half for round),
    // and the digits hold the whole part: log(1000) is 3, 2.5*pi/pi is 2.5.
    bool Near(const F& x, const F& step) {
        if (abs(x) >= HeldWhole<F>() || abs(x - step) > Margin<F>() * std::max(abs(x), F(1)))
            return false;
        Unsure();
        return true;
    }
    bool NearWhole(const F& x) { return Near(x, round(x)); }

    static bool IsZero(const V& value) { return value.exact ? value.q == 0 : value.f == 0; }

    // The remainder with the divisor's sign, as a mathematician's mod: -7 mod 3 is 2.
    V Modulo(const V& a, const V& b) {
        if (IsZero(b)) Fail(u"division by zero");
        if (a.exact && b.exact) {
            Rational quotient = a.q / b.q;
            return V::Exact(Rational(a.q - b.q * Rational(Floor(quotient))));
        }
        const F x = Approximate(a), y = Approximate(b), quotient = x / y;
        // Past that, 50 digits cannot tell the remainder to 30 digits, as with sin.
        if (abs(quotient) > F("1e20")) Fail(kTooLarge);
        // A quotient that cannot be told from a whole number leaves nothing: 2*pi mod pi is 0,
        // neither pi nor noise.
        if (NearWhole(quotient)) return V::Of(F(0));
        return V::Of(x - y * floor(quotient));
    }

    static Integer Floor(const Rational& q) {
        Integer n = numerator(q), d = denominator(q);
        Integer whole = n / d;  // toward zero
        if (n % d != 0 && n < 0) --whole;
        return whole;
    }

    V Power(const V& base, const V& exponent) {
        if (base.exact && IsInteger(exponent)) return WholePower(base.q, numerator(exponent.q));
        if (base.exact && base.q == 1) return V::Of(F(1));
        return ApproximatePower(Approximate(base), exponent);
    }

    // x^y as e^(y ln x). A whole exponent takes any base and gives the sign of an odd power:
    // (-pi)^2; so does one that cannot be told from a whole number: (-2)^ln(e).
    V ApproximatePower(F x, const V& exponent) {
        ChargeFloat(3 * work::kFloatFunction);  // a logarithm, a product and an exponential
        F y = Approximate(exponent);
        bool negative = false;
        if (x < 0) {
            if (!IsInteger(exponent) && !NearWhole(y)) Fail(kOutsideDomain);
            y = round(y);
            negative = bit_test(
                abs(IsInteger(exponent) ? numerator(exponent.q) : y.template convert_to<Integer>()),
                0);
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
        if (spread > pow(F(10), -static_cast<int>(kRoundedDigits) - 1)) {
            Unsure();
            Fail(kTooLarge);
        }
        const F power = pow(x, y);
        return V::Of(negative ? -power : power);
    }

    V WholePower(const Rational& base, const Integer& exponent) {
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

    V Function(Op op, const V& a) {
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
            case Op::kLog:
                if (x <= 0) Fail(kOutsideDomain);
                return V::Of(op == Op::kLn ? log(x) : log10(x));
            case Op::kSin:
            case Op::kCos:
            case Op::kTan:
                // Past that, 50 digits cannot place the angle within the circle to 30 digits.
                if (abs(x) > F("1e20")) Fail(kTooLarge);
                return Circular(op, x);
            case Op::kAsin:
            case Op::kAcos:
                return Inverse(op, a, x);
            default:
                return V::Of(atan(x));
        }
    }

    // A result smaller than the angle's own noise is 0 (sin(-450*pi/3)), and a tangent whose
    // cosine is that small is at a pole (tan(-114*pi/12), as tan(pi/2)).
    V Circular(Op op, const F& x) {
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

    // -1 to 1, told exactly for an exact argument (1+1e-80 is outside). Next to an end, where
    // the noise of an approximation weighs most, the line is worked out wider, and a value that
    // is past the end only by its noise is the end: asin(sin(pi/2)).
    V Inverse(Op op, const V& a, F x) {
        if (a.exact ? abs(a.q) > 1 : abs(x) > 1 + Noise<F>()) Fail(kOutsideDomain);
        if (!a.exact && abs(x) > 1 - Kept<F>()) {
            Unsure();
            if (abs(x) > 1) x = x > 0 ? F(1) : F(-1);
        }
        return V::Of(op == Op::kAsin ? asin(x) : acos(x));
    }

    V Sign(Op op, const V& a) {
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

    V Root(const V& a) {
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

    V Whole(Op op, const V& a) {
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
            if (abs(whole) < HeldWhole<F>()) return V::Exact(whole.template convert_to<Integer>());
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

    V Factorial(const V& a) {
        // One that cannot be told from a whole number is taken as that number, and the result
        // as an approximation: log(1000)! is about 6, as floor(pi)! is 6.
        if (!a.exact && a.f >= 0 && NearWhole(a.f)) {
            return V::Of(
                Approximate(Factorial(V::Exact(round(a.f).template convert_to<Integer>()))));
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

    const std::vector<Node>& nodes_;
    Budget& budget_;
    std::chrono::steady_clock::time_point deadline_;
    bool last_;
};

// --- the result, written out -----------------------------------------------------------------

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
    text = numerator(q) < 0 ? u"-" : u"";
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

// The line worked out with approximations of F; `last` when no wider pass follows.
template <class F>
Result Worked(const std::vector<Node>& nodes, int root, char16_t decimal, Budget& budget,
              std::chrono::steady_clock::time_point deadline, bool last) {
    Evaluator<F> evaluator(nodes, budget, deadline, last);
    const Op shownAs = nodes[root].op;
    const bool based = shownAs == Op::kHex || shownAs == Op::kBin;
    const Value<F> value = evaluator.Evaluate(based ? nodes[root].left : root);
    evaluator.InTime();
    Result result = ResultOf(value, shownAs, decimal, budget);
    result.work = budget.spent();
    return result;
}

}  // namespace

std::u16string Result::Shown() const {
    switch (kind) {
        case Kind::kExact:
            return u"= " + value;
        case Kind::kRounded:
            return u"\u2248 " + value;
        case Kind::kError:
            return u"= ? " + value;
        default:
            return u"";
    }
}

Result Calculate(std::u16string_view line, char16_t decimal) {
    if (line.size() > kMostLineLength) return {};
    const bool asked = !line.empty() && line[0] == u'=';
    if (asked) line.remove_prefix(1);
    if (!asked && (line.find(u'=') != std::u16string_view::npos || LooksLikeANameOrNumber(line)))
        return {};
    try {
        Parser parser(line, decimal);
        int root = parser.Parse();
        if (!asked && !parser.operated()) return {};  // a number or a name alone is no sum
        if (parser.unclosed()) return {Kind::kError, u"a parenthesis not closed"};
        Budget budget;
        const auto deadline = std::chrono::steady_clock::now() +
                              std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                  std::chrono::duration<double, std::milli>(kMostMilliseconds));
        try {
            return Worked<Float>(parser.nodes(), root, decimal, budget, deadline, false);
        } catch (const Wider&) {
            return Worked<WideFloat>(parser.nodes(), root, decimal, budget, deadline, true);
        }
    } catch (const Failure& failure) {
        if (failure.syntax && !asked) return {};
        return {Kind::kError, failure.reason};
    } catch (const std::bad_alloc&) {
        return {Kind::kError, kTooLarge};
    } catch (...) {  // what the arithmetic itself refuses
        return {Kind::kError, u"cannot be worked out"};
    }
}

}  // namespace torvex::calc
