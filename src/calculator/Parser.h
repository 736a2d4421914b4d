#pragma once
// The line, read into a tree of numbers, operators and functions; with "=" or without, and with
// the user's decimal separator.
#include <string>
#include <string_view>
#include <vector>

#include "calculator/Numbers.h"

namespace torvex::calc::detail {

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

class Parser {
  public:
    Parser(std::u16string_view text, char16_t decimal) : text_(text), decimal_(decimal) {}

    int Parse();
    const std::vector<Node>& nodes() const { return nodes_; }
    bool operated() const { return operated_; }
    bool unclosed() const { return unclosed_; }

  private:
    void Skip();
    char16_t Peek();
    bool Take(char16_t c);
    // The word at the caret, lowered, without taking it.
    std::string WordAhead();
    int Add(Node node);
    int Binary(Op op, int left, int right);
    void Deeper(int depth);

    int Expression(int depth);

    int Term(int depth);

    int Unary(int depth);

    int Postfix(int depth);

    int Primary(int depth);

    // A parenthesis still open at the end is a calculation being typed.
    void Close();

    int Number();

    Integer Based(int base);

    void Digits(Node& node, int& count);

    void Decimal(Node& node);

    std::u16string_view text_;
    char16_t decimal_;
    std::size_t at_ = 0;
    std::vector<Node> nodes_;
    bool operated_ = false;
    bool unclosed_ = false;
};

}  // namespace torvex::calc::detail
