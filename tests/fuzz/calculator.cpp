// The calculator, for any line: no crash, the same answer (and the same work) when asked twice,
// since an answer may not depend on the machine's speed, and identities that must hold
// exactly: (a+b)-b = a, a*b/b = a for b other than 0, (k*b) mod b = 0 for a whole k and b other
// than 0, whole or approximate, and round(|a|) = floor(|a|+1/2), round(-a) = -round(a). A line
// still at work after seconds (far beyond what the work's bound lets any line take, even with the
// sanitizers) is a hang.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "calculator/Calculator.h"

namespace {

using torvex::calc::Calculate;
using torvex::calc::Kind;

const char* const kTokens[] = {
    "0",     "1",     "2",    "3",    "4",      "5",      "6",    "7",     "8",     "9",  ".",
    ",",     "e",     "e-",   "+",    "-",      "*",      "/",    "^",     "(",     ")",  "!",
    " mod ", "sqrt(", "sin(", "cos(", "tan(",   "ln(",    "log(", "exp(",  "asin(", "pi", "0x",
    "0b",    "=",     "hex(", "bin(", "round(", "floor(", "abs(", "atan(", " ",     "ff", "9^9^9",
};
constexpr double kBoundMilliseconds = 2000;

std::u16string Line(const std::uint8_t* data, std::size_t size) {
    std::u16string line;
    if (size > 0 && data[0] % 2 == 0) {  // tokens, so that most lines are expressions
        for (std::size_t i = 1; i < size; ++i) {
            for (const char* c = kTokens[data[i] % (sizeof(kTokens) / sizeof(kTokens[0]))]; *c;
                 ++c) {
                line += static_cast<char16_t>(*c);
            }
        }
    } else {
        for (std::size_t i = 1; i + 1 < size; i += 2) {
            line += static_cast<char16_t>(data[i] | data[i + 1] << 8);
        }
    }
    return line;
}

// A small decimal from the bytes: "-12.05" and the like.
std::u16string Number(const std::uint8_t* data, std::size_t size, std::size_t from) {
    std::u16string text;
    if (from < size && data[from] % 3 == 0) text += u'-';
    for (std::size_t i = from + 1; i < size && i < from + 6; ++i) {
        text += static_cast<char16_t>(u'0' + data[i] % 10);
        if (i == from + 3) text += u'.';
    }
    return text.empty() || text == u"-" ? u"7" : text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string line = Line(data, size);
    for (char16_t decimal : {u'.', u','}) {
        auto started = std::chrono::steady_clock::now();
        const torvex::calc::Result first = Calculate(line, decimal);
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - started;
        if (took.count() > kBoundMilliseconds) std::abort();
        const torvex::calc::Result second = Calculate(line, decimal);
        if (second.kind != first.kind || second.value != first.value || second.work != first.work)
            std::abort();
    }
    const std::u16string a = u"(" + Number(data, size, 0) + u")";
    const std::u16string b = u"(" + Number(data, size, 6) + u")";
    const torvex::calc::Result alone = Calculate(u"=" + a);
    // After "=", since a number written with leading zeros ("-00.5") reads as a code without it.
    if (Calculate(u"=(" + a + u"+" + b + u")-" + b).value != alone.value) std::abort();
    const torvex::calc::Result divisor = Calculate(u"=" + b);
    if (divisor.kind == Kind::kExact && divisor.value != u"0" && divisor.value != u"-0" &&
        Calculate(u"=" + a + u"*" + b + u"/" + b).value != alone.value) {
        std::abort();
    }
    if (divisor.kind == Kind::kExact && divisor.value != u"0" && divisor.value != u"-0") {
        const std::u16string k = u"floor" + a;
        for (const std::u16string& m : {b, u"(" + b + u"*pi)", u"sqrt(abs" + b + u")"}) {
            if (Calculate(u"=(" + k + u"*" + m + u") mod " + m).value != u"0") std::abort();
        }
    }
    if (Calculate(u"=round(abs" + a + u")").value !=
            Calculate(u"=floor(abs" + a + u"+1/2)").value ||
        Calculate(u"=round(-" + a + u")").value != Calculate(u"=-round" + a).value) {
        std::abort();
    }
    return 0;
}
