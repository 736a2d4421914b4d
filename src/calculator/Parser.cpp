#include "calculator/Parser.h"

namespace torvex::calc::detail {
namespace {

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

bool IsLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
int DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    return (c | 0x20) - u'a' + 10;
}

}  // namespace

int Parser::Parse() {
    int root = Expression(0);
    Skip();
    if (at_ < text_.size())
        Fail(text_[at_] == u')' ? u"a parenthesis not opened" : u"not an expression", true);
    return root;
}

void Parser::Skip() {
    while (at_ < text_.size() && (text_[at_] == u' ' || text_[at_] == u'\t')) ++at_;
}

char16_t Parser::Peek() {
    Skip();
    return at_ < text_.size() ? text_[at_] : u'\0';
}

bool Parser::Take(char16_t c) {
    if (Peek() != c) return false;
    ++at_;
    return true;
}

std::string Parser::WordAhead() {
    Skip();
    std::string word;
    for (std::size_t i = at_; i < text_.size() && IsLetter(text_[i]); ++i) {
        word += static_cast<char>(text_[i] | 0x20);
    }
    return word;
}

int Parser::Add(Node node) {
    nodes_.push_back(std::move(node));
    return static_cast<int>(nodes_.size()) - 1;
}

int Parser::Binary(Op op, int left, int right) {
    operated_ = true;
    return Add({op, left, right});
}

void Parser::Deeper(int depth) {
    if (depth > kMostDepth) Fail(u"too deeply nested", true);  // without "=": no sum
}

int Parser::Expression(int depth) {
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

int Parser::Term(int depth) {
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

int Parser::Unary(int depth) {
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

int Parser::Postfix(int depth) {
    int value = Primary(depth);
    while (Take(u'!')) {
        operated_ = true;
        value = Add({Op::kFactorial, value});
    }
    return value;
}

int Parser::Primary(int depth) {
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

void Parser::Close() {
    if (Take(u')')) return;
    if (Peek() != u'\0') Fail(u"not an expression", true);
    unclosed_ = true;
}

int Parser::Number() {
    Node node(Op::kNumber);
    if (text_[at_] == u'0' && at_ + 2 < text_.size() && (text_[at_ + 1] | 0x20) == u'x') {
        node.mantissa = Based(16);
    } else if (text_[at_] == u'0' && at_ + 2 < text_.size() && (text_[at_ + 1] | 0x20) == u'b' &&
               IsDigit(text_[at_ + 2], 2)) {
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

Integer Parser::Based(int base) {
    at_ += 2;
    if (at_ >= text_.size() || !IsDigit(text_[at_], base)) Fail(u"not an expression", true);
    Integer value = 0;
    while (at_ < text_.size() && IsDigit(text_[at_], base)) {
        value = value * base + DigitValue(text_[at_++]);
    }
    return value;
}

void Parser::Digits(Node& node, int& count) {
    while (at_ < text_.size() && IsDigit(text_[at_])) {
        node.mantissa = node.mantissa * 10 + DigitValue(text_[at_++]);
        ++count;
    }
}

void Parser::Decimal(Node& node) {
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

}  // namespace torvex::calc::detail
