#include "commands/Calculator.h"

#include <boost/multiprecision/cpp_dec_float.hpp>
#include <boost/multiprecision/cpp_int.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

namespace torvex::calc {
namespace {

namespace mp = boost::multiprecision;
using Integer = mp::cpp_int;
using Rational = mp::cpp_rational;
using Float = mp::number<mp::cpp_dec_float<50>, mp::et_off>;  // 20 digits beyond the 30 shown

constexpr int kMostDepth = 200;  // parentheses, powers and signs within one another
constexpr double kLog10Of2 = 0.301029995663981195;
constexpr char16_t kTimes = u'\u00D7', kDivide = u'\u00F7', kMinus = u'\u2212';
const char16_t kTooLarge[] = u"too large";
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

std::u16string Ascii(const std::string& text) {
    return {text.begin(), text.end()};
}

// A number: exact while only exact steps made it, else a 50-digit approximation.
struct Value {
    bool exact = true;
    Rational q;
    Float f;

    Float Approximate() const {
        if (!exact) return f;
        return Float(numerator(q).str()) / Float(denominator(q).str());
    }
    static Value Of(const Float& f) {
        Value value;
        value.exact = false;
        value.f = f;
        return value;
    }
};

Value Exact(const Rational& q) {
    Value value;
    value.q = q;
    return value;
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

// Refused at once when it grows past what is shown: no later step has to carry it.
const Value& Bounded(const Value& value) {
    if (value.exact) {
        const Integer& d = denominator(value.q);
        if (d == 1 ? TooManyDigits(numerator(value.q))
                   : Digits(numerator(value.q)) + Digits(d) > kMostDigits) {
            Fail(kTooLarge);
        }
        return value;
    }
    if (!isfinite(value.f)) Fail(kTooLarge);
    if (value.f != 0) {
        int exponent = 0;
        frexp(value.f, &exponent);
        if (std::abs(exponent) * kLog10Of2 > kMostDigits)
            Fail(exponent > 0 ? kTooLarge : u"too small");
    }
    return value;
}

// log10 of a number above 0, to a few digits: enough to tell the size of a power.
double Log10(const Integer& n) {
    const std::size_t high = msb(n);
    if (high < 1000) return std::log10(n.convert_to<double>());
    return std::log10((n >> (high - 52)).convert_to<double>()) + (high - 52) * kLog10Of2;
}

bool IsInteger(const Value& value) {
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

class Evaluator {
  public:
    explicit Evaluator(const std::vector<Node>& nodes)
        : nodes_(nodes),
          deadline_(std::chrono::steady_clock::now() +
                    std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                        std::chrono::duration<double, std::milli>(kMostMilliseconds))) {}

    Value Evaluate(int index, int depth = 0) {
        if (depth > kMostDepth) Fail(u"too deeply nested");
        InTime();
        const Node& node = nodes_[index];
        return Bounded(Apply(node, depth));
    }

    void InTime() const {
        if (std::chrono::steady_clock::now() > deadline_) Fail(u"takes too long");
    }

  private:
    Value Apply(const Node& node, int depth) {
        switch (node.op) {
            case Op::kNumber:
                return Literal(node);
            case Op::kGrouped:
                Fail(kGroupingRefused);
            case Op::kPi:
                return Value::Of(boost::math::constants::pi<Float>());
            case Op::kE:
                return Value::Of(boost::math::constants::e<Float>());
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
    Value Chain(const Node& last, int depth) {
        std::vector<const Node*> chain = {&last};
        while (nodes_[chain.back()->left].right >= 0) chain.push_back(&nodes_[chain.back()->left]);
        Value value = Evaluate(chain.back()->left, depth + 1);
        for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
            value = Bounded(Arithmetic((*link)->op, value, Evaluate((*link)->right, depth + 1)));
            InTime();
        }
        return value;
    }

    static Value Literal(const Node& node) {
        if (node.exponent == 0 || node.mantissa == 0) return Exact(Rational(node.mantissa));
        if (std::abs(node.exponent) > static_cast<std::int64_t>(kMostDigits) + 4096)
            Fail(node.exponent > 0 ? kTooLarge : u"too small");
        Integer scale = pow(Integer(10), static_cast<unsigned>(std::abs(node.exponent)));
        return Exact(node.exponent > 0 ? Rational(node.mantissa * scale)
                                       : Rational(node.mantissa, scale));
    }

    Value Arithmetic(Op op, const Value& a, const Value& b) {
        const bool exact = a.exact && b.exact;
        switch (op) {
            case Op::kAdd:
                return exact ? Exact(a.q + b.q) : Sum(a.Approximate(), b.Approximate());
            case Op::kSubtract:
                return exact ? Exact(a.q - b.q) : Sum(a.Approximate(), -b.Approximate());
            case Op::kMultiply:
                // Two whole numbers whose product is too large: refused before it is made.
                if (IsInteger(a) && IsInteger(b) && a.q != 0 && b.q != 0 &&
                    Digits(numerator(a.q)) + Digits(numerator(b.q)) > kMostDigits + 2) {
                    Fail(kTooLarge);
                }
                return exact ? Exact(a.q * b.q) : Value::Of(a.Approximate() * b.Approximate());
            case Op::kDivide:
                if (IsZero(b)) Fail(u"division by zero");
                return exact ? Exact(a.q / b.q) : Value::Of(a.Approximate() / b.Approximate());
            case Op::kModulo:
                return Modulo(a, b);
            default:
                return Power(a, b);
        }
    }

    // What is left when two approximations cancel below the digits they carry is noise, not a
    // result: ln(e)-1 is 0, not 1.7e-50. (What is left above 1e-48 of the larger term stays.)
    static Value Sum(const Float& x, const Float& y) {
        const Float sum = x + y;
        if (abs(sum) <= std::max(abs(x), abs(y)) * Float("1e-48")) return Value::Of(Float(0));
        return Value::Of(sum);
    }

    static bool IsZero(const Value& value) { return value.exact ? value.q == 0 : value.f == 0; }

    // The remainder with the divisor's sign, as a mathematician's mod: -7 mod 3 is 2.
    static Value Modulo(const Value& a, const Value& b) {
        if (IsZero(b)) Fail(u"division by zero");
        if (a.exact && b.exact) {
            Rational quotient = a.q / b.q;
            return Exact(a.q - b.q * Rational(Floor(quotient)));
        }
        Float x = a.Approximate(), y = b.Approximate();
        // Past that, 50 digits cannot tell the remainder to 30 digits, as with sin.
        if (abs(x / y) > Float("1e20")) Fail(kTooLarge);
        return Value::Of(x - y * floor(x / y));
    }

    static Integer Floor(const Rational& q) {
        Integer n = numerator(q), d = denominator(q);
        Integer whole = n / d;  // toward zero
        if (n % d != 0 && n < 0) --whole;
        return whole;
    }

    Value Power(const Value& base, const Value& exponent) {
        if (base.exact && IsInteger(exponent)) return WholePower(base.q, numerator(exponent.q));
        Float x = base.Approximate(), y = exponent.Approximate();
        // (-pi)^2: a whole exponent takes any base, and gives the sign of an odd power.
        const bool whole = IsInteger(exponent);
        const bool negative = x < 0 && whole && bit_test(abs(numerator(exponent.q)), 0);
        if (x < 0 && !whole) Fail(u"outside the function's domain");
        if (x < 0) x = -x;
        if (x == 0) {
            if (y < 0) Fail(u"division by zero");
            return y == 0 ? Exact(Rational(1)) : Exact(Rational(0));
        }
        // Too large or too small before it is worked out: e^(y ln x) beyond the digits.
        Float size = y * log10(x);
        if (abs(size) > Float(kMostDigits)) Fail(size > 0 ? kTooLarge : u"too small");
        return Value::Of(negative ? -pow(x, y) : pow(x, y));
    }

    Value WholePower(const Rational& base, const Integer& exponent) {
        if (base == 0) {
            if (exponent < 0) Fail(u"division by zero");
            return Exact(Rational(exponent == 0 ? 1 : 0));
        }
        Integer n = numerator(base), d = denominator(base);
        if (abs(n) == 1 && d == 1) {
            bool odd = bit_test(abs(exponent), 0);
            return Exact(Rational(n < 0 && odd ? -1 : 1));
        }
        // Refused before it is worked out: 9^9^9 takes neither time nor memory.
        if (abs(exponent) > Integer(kMostDigits * 4) ||
            abs(exponent).convert_to<double>() * (Log10(abs(n)) + Log10(d)) > kMostDigits + 1.0) {
            Fail(kTooLarge);
        }
        unsigned power = abs(exponent).convert_to<unsigned>();
        // A whole base needs no reducing (a gcd of 10,000 digits costs milliseconds).
        Rational result = d == 1 ? Rational(pow(n, power)) : Rational(pow(n, power), pow(d, power));
        return Exact(exponent < 0 ? Rational(1) / result : result);
    }

    Value Function(Op op, const Value& a) {
        if (op == Op::kNegate) return a.exact ? Exact(-a.q) : Value::Of(-a.f);
        if (op == Op::kFactorial) return Factorial(a);
        if (op == Op::kAbs) return a.exact ? Exact(abs(a.q)) : Value::Of(abs(a.f));
        if (op == Op::kFloor || op == Op::kCeil || op == Op::kRound) return Whole(op, a);
        if (op == Op::kSqrt) return Root(a);
        if (a.exact && a.q == 0 &&
            (op == Op::kSin || op == Op::kTan || op == Op::kAsin || op == Op::kAtan)) {
            return Exact(Rational(0));
        }
        if (a.exact && ((a.q == 0 && (op == Op::kExp || op == Op::kCos)) ||
                        (a.q == 1 && (op == Op::kLn || op == Op::kLog)))) {
            return Exact(Rational(op == Op::kExp || op == Op::kCos ? 1 : 0));
        }
        Float x = a.Approximate();
        switch (op) {
            case Op::kExp:
                if (abs(x) > Float(kMostDigits) * log(Float(10)))
                    Fail(x > 0 ? kTooLarge : u"too small");
                return Value::Of(exp(x));
            case Op::kLn:
            case Op::kLog:
                if (x <= 0) Fail(u"outside the function's domain");
                return Value::Of(op == Op::kLn ? log(x) : log10(x));
            case Op::kSin:
            case Op::kCos:
            case Op::kTan:
                // Past that, 50 digits cannot place the angle within the circle to 30 digits.
                if (abs(x) > Float("1e20")) Fail(kTooLarge);
                return Value::Of(op == Op::kSin ? sin(x) : op == Op::kCos ? cos(x) : tan(x));
            case Op::kAsin:
            case Op::kAcos:
                if (abs(x) > 1) Fail(u"outside the function's domain");
                return Value::Of(op == Op::kAsin ? asin(x) : acos(x));
            default:
                return Value::Of(atan(x));
        }
    }

    static Value Root(const Value& a) {
        if (a.exact) {
            if (a.q < 0) Fail(u"outside the function's domain");
            Integer n = numerator(a.q), d = denominator(a.q);
            Integer rn = sqrt(n), rd = sqrt(d);
            if (rn * rn == n && rd * rd == d) return Exact(Rational(rn, rd));
        }
        Float x = a.Approximate();
        if (x < 0) Fail(u"outside the function's domain");
        return Value::Of(sqrt(x));
    }

    static Value Whole(Op op, const Value& a) {
        if (!a.exact) {
            const Float x = a.f;
            const Float whole = op == Op::kFloor ? floor(x) : op == Op::kCeil ? ceil(x) : round(x);
            // Where 50 digits hold every digit before the point and the value is clear of the
            // steps where the answer changes (whole numbers; halves for round), the whole number
            // is known: round(pi) is 3, and 3! can follow. A value that cannot be told from a
            // whole number is taken as that number, not known exactly: ceil(ln(e)) is about 1.
            const Float margin = Float("1e-40") * std::max(abs(x), Float(1));
            const Float nearest = round(x);
            if (op != Op::kRound && abs(x - nearest) <= margin) return Value::Of(nearest);
            const Float step = op == Op::kRound ? floor(x) + Float(1) / 2 : round(x);
            if (abs(whole) < Float("1e40") && abs(x - step) > margin) {
                return Exact(Rational(whole.convert_to<Integer>()));
            }
            return Value::Of(whole);
        }
        Integer down = Floor(a.q);
        if (op == Op::kFloor || denominator(a.q) == 1) return Exact(Rational(down));
        if (op == Op::kCeil) return Exact(Rational(down + 1));
        // Half away from zero, as round does.
        Rational rest = a.q - Rational(down);
        bool up = a.q >= 0 ? rest >= Rational(1, 2) : rest > Rational(1, 2);
        return Exact(Rational(up ? down + 1 : down));
    }

    Value Factorial(const Value& a) {
        if (!IsInteger(a) || a.q < 0) Fail(u"outside the function's domain");
        Integer n = numerator(a.q);
        if (n > 100000 || std::lgamma(n.convert_to<double>() + 1) / std::log(10.0) > kMostDigits) {
            Fail(kTooLarge);
        }
        Integer product = 1;
        for (unsigned i = 2, last = n.convert_to<unsigned>(); i <= last; ++i) {
            product *= i;
            if (i % 256 == 0) InTime();
        }
        return Exact(Rational(product));
    }

    const std::vector<Node>& nodes_;
    std::chrono::steady_clock::time_point deadline_;
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
bool WrittenWhole(const Rational& q, char16_t decimal, std::u16string& text) {
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
    while (d % kFivesAtOnce == 0 && fives <= kMostDigits) d /= kFivesAtOnce, fives += kFivesInOne;
    while (d % 5 == 0 && fives <= kMostDigits) d /= 5, ++fives;
    if (fives > kMostDigits || d != 1) return false;
    const std::size_t places = std::max(twos, fives);
    const Integer& n = numerator(q);
    const std::size_t wholeDigits =
        Digits(n) > Digits(denominator(q)) ? Digits(n) - Digits(denominator(q)) + 1 : 1;
    if (places + wholeDigits > kMostDigits) return false;
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
std::u16string WrittenRounded(const Rational& q, char16_t decimal) {
    Integer n = abs(numerator(q)), d = denominator(q);
    std::int64_t exponent =
        static_cast<std::int64_t>(Digits(n)) - static_cast<std::int64_t>(Digits(d));
    const Integer low = pow(Integer(10), kRoundedDigits - 1), high = low * 10;
    for (;;) {
        const std::int64_t shift = static_cast<std::int64_t>(kRoundedDigits) - 1 - exponent;
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

std::u16string WrittenApproximate(const Float& f, char16_t decimal) {
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

Result ResultOf(const Value& value, Op shownAs, char16_t decimal) {
    if (shownAs == Op::kHex || shownAs == Op::kBin) {
        if (!IsInteger(value)) Fail(u"hex() and bin() take a whole number");
        return {Kind::kExact, InBase(numerator(value.q), shownAs == Op::kHex ? 16 : 2)};
    }
    if (!value.exact) return {Kind::kRounded, WrittenApproximate(value.f, decimal)};
    std::u16string text;
    if (WrittenWhole(value.q, decimal, text)) return {Kind::kExact, text};
    return {Kind::kRounded, WrittenRounded(value.q, decimal)};
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
    if (!asked && line.find(u'=') != std::u16string_view::npos) return {};
    try {
        Parser parser(line, decimal);
        int root = parser.Parse();
        if (!asked && !parser.operated()) return {};  // a number or a name alone is no sum
        if (parser.unclosed()) return {Kind::kError, u"a parenthesis not closed"};
        const std::vector<Node>& nodes = parser.nodes();
        Evaluator evaluator(nodes);
        const Op shownAs = nodes[root].op;
        const bool based = shownAs == Op::kHex || shownAs == Op::kBin;
        Value value = evaluator.Evaluate(based ? nodes[root].left : root);
        evaluator.InTime();
        return ResultOf(value, shownAs, decimal);
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
