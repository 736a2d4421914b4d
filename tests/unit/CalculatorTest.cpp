// The calculator: which lines are calculations, and their results. The expected values were
// worked out apart from the box: exact ones with Python's integers and fractions, rounded ones
// with mpmath 1.3 at 50 digits (mp.nstr to 30 significant digits).
#include <gtest/gtest.h>

#include <string>

#include "calculator/Calculator.h"
#include "tests/support/Text.h"

namespace {

using torvex::calc::Kind;

struct Case {
    const char* line;
    Kind kind;
    const char* value;  // the result, or the reason
    char16_t decimal = u'.';
};

// Each tracker fault of the launchers: 2^64, 22222222222222222222, 1.002 in German, 3,000*4, hex
// past 32 bits.
const Case kCases[] = {
    {"2^64", Kind::kExact, "18446744073709551616"},
    {"=22222222222222222222", Kind::kExact, "22222222222222222222"},
    {"22222222222222222222*3", Kind::kExact, "66666666666666666666"},
    {"1.002*1000", Kind::kExact, "1002", u','},
    {"1.002*1000", Kind::kExact, "1002"},
    {"1,002*1000", Kind::kExact, "1002", u','},
    {"1,002*1000", Kind::kError, "digit grouping is not read: write the digits without separators"},
    {"3,000*4", Kind::kError, "digit grouping is not read: write the digits without separators"},
    {"3,000*4", Kind::kExact, "12", u','},
    {"=1.000.000*2", Kind::kError,
     "digit grouping is not read: write the digits without separators", u','},
    {"0xFFFFFFFFF+1", Kind::kExact, "68719476736"},
    {"hex(0xFFFFFFFFFF*16)", Kind::kExact, "0xFFFFFFFFFF0"},
    {"bin(10)", Kind::kExact, "0b1010"},
    // Exact arithmetic, and the operators' order.
    {"0.1+0.2", Kind::kExact, "0.3"},
    {"0,1+0,2", Kind::kExact, "0,3", u','},
    {"1/8", Kind::kExact, "0.125"},
    {"1/3*3", Kind::kExact, "1"},
    {"2^-2", Kind::kExact, "0.25"},
    {"-2^2", Kind::kExact, "-4"},
    {"2^3^2", Kind::kExact, "512"},
    {"2 \u00D7 3 \u00F7 4", Kind::kExact, "1.5"},
    {"-7 mod 3", Kind::kExact, "2"},
    {"7 mod -3", Kind::kExact, "-2"},
    {"6/-4", Kind::kExact, "-1.5"},  // whole numbers: a negative divisor, a negative power
    {"(-2)^-3", Kind::kExact, "-0.125"},
    {"1e6*2", Kind::kExact, "2000000"},
    {"round(2.5)+round(-2.5)*10", Kind::kExact, "-27"},
    {"floor(-1.5)", Kind::kExact, "-2"},
    {"ceil(1.2)", Kind::kExact, "2"},
    {"abs(-3)", Kind::kExact, "3"},
    {"sqrt(1/4)", Kind::kExact, "0.5"},
    {"round(pi)", Kind::kExact, "3"},  // whole again, so that "!" and hex() can follow
    {"floor(pi)!", Kind::kExact, "6"},
    {"hex(floor(pi*1e6))", Kind::kExact, "0x2FEFD8"},
    {"bin(0)", Kind::kExact, "0b0"},
    {"(-1)^3", Kind::kExact, "-1"},  // whole negative numbers keep their sign and stay whole
    {"(-1)^2", Kind::kExact, "1"},
    {"floor(-2)", Kind::kExact, "-2"},
    {"ceil(-2)", Kind::kExact, "-2"},
    {"round(-2)", Kind::kExact, "-2"},
    {"-6 mod 3", Kind::kExact, "0"},
    {"2.5e3*1", Kind::kExact, "2500"},
    {"cos(0)", Kind::kExact, "1"},
    {".5*2", Kind::kExact, "1", u','},  // "." stays a decimal point where "," is one
    {"=.5", Kind::kExact, "0,5", u','},
    {"100!", Kind::kExact,
     "93326215443944152681699238856266700490715968264381621468592963895217599993229915608941463"
     "976156518286253697920827223758251185210916864000000000000000000000000"},
    // Rounded to 30 significant digits.
    {"1/3", Kind::kRounded, "0.333333333333333333333333333333"},
    {"2/3", Kind::kRounded, "0.666666666666666666666666666667"},
    {"1/4+1/12", Kind::kRounded, "0,333333333333333333333333333333", u','},
    {"sqrt(16/9)", Kind::kRounded, "1.33333333333333333333333333333"},
    {"sqrt(2)", Kind::kRounded, "1.41421356237309504880168872421"},
    {"sqrt(1/2)", Kind::kRounded, "0.707106781186547524400844362105"},  // a square numerator
    {"sqrt(4/3)", Kind::kRounded, "1.154700538379251529018297561"},
    {"2^0.5", Kind::kRounded, "1.41421356237309504880168872421"},
    {"exp(1)", Kind::kRounded, "2.71828182845904523536028747135"},
    {"exp(100)", Kind::kRounded, "2.68811714181613544841262555158e43"},
    {"ln(10)", Kind::kRounded, "2.30258509299404568401799145468"},
    {"ln(1e-300)", Kind::kRounded, "-690.775527898213705205397436405"},
    {"log(2)", Kind::kRounded, "0.301029995663981195213738894724"},
    {"sin(1)", Kind::kRounded, "0.84147098480789650665250232163"},
    {"sin(1e20)", Kind::kRounded, "-0.645251285265780844205811711313"},
    {"cos(1)", Kind::kRounded, "0.540302305868139717400936607443"},
    {"tan(1)", Kind::kRounded, "1.55740772465490223050697480746"},
    {"asin(0.5)", Kind::kRounded, "0.523598775598298873077107230547"},
    {"acos(0.5)", Kind::kRounded, "1.04719755119659774615421446109"},
    {"atan(1)", Kind::kRounded, "0.78539816339744830961566084582"},
    {"asin(1)", Kind::kRounded, "1.57079632679489661923132169164"},  // the ends of the domain
    {"asin(-1)", Kind::kRounded, "-1.57079632679489661923132169164"},
    {"acos(1)", Kind::kRounded, "0"},
    {"acos(-1)", Kind::kRounded, "3.14159265358979323846264338328"},
    {"=pi", Kind::kRounded, "3.14159265358979323846264338328"},
    {"2^-33000", Kind::kRounded, "1.02363019598118268458745484523e-9934"},  // 33,000 places
    {"(-pi)^2", Kind::kRounded, "9.86960440108935861883449099988"},
    {"(-e)^3", Kind::kRounded, "-20.0855369231876677409285296546"},
    {"sin(4)^2", Kind::kRounded, "0.572750016904306762934420690916"},
    {"10^19 mod pi", Kind::kRounded, "1.18650184566438275716556099689"},
    {"ln(e)-1", Kind::kRounded, "0"},  // what cancels below the digits carried is no result
    {"sqrt(2)^2-2", Kind::kRounded, "0"},
    {"e^(1e-45)-1", Kind::kRounded, "1e-45"},
    {"ceil(ln(e))", Kind::kRounded, "1"},  // cannot be told from 1: about 1, not exactly 2
    {"floor(tan(pi/4))", Kind::kRounded, "1"},
    {"pi-3.14159265358979323846264338327", Kind::kRounded, "9.50288419716939937510582097494e-30"},
    {"=10^9999/7", Kind::kRounded, "1.42857142857142857142857142857e9998"},  // Python's decimal
    // What 50 digits cannot tell, told (mpmath at 100 digits): a remainder or a rounding next to
    // its step, a result below the angle's noise or at a pole, digits that cancel.
    {"=2*ln(2) mod ln(2)", Kind::kRounded, "0"},
    {"=(pi/3)*3 mod pi", Kind::kRounded, "0"},
    {"round(2.5*pi/pi)", Kind::kRounded, "3"},
    {"round(0.5*e/e)", Kind::kRounded, "1"},
    {"round(-2.5*pi/pi)", Kind::kRounded, "-3"},
    {"sin(-450*pi/3)", Kind::kRounded, "0"},
    {"tan(-114*pi/12)", Kind::kError, "outside the function's domain"},
    {"tan(pi/2)", Kind::kError, "outside the function's domain"},
    {"exp(1e-60)-1", Kind::kRounded, "1e-60"},
    {"=(exp(1e-50)-1)^2", Kind::kRounded, "1e-100"},  // an approximation is never exact
    {"0^pi", Kind::kRounded, "0"},
    {"=ln(ln(e))", Kind::kRounded, "0"},  // a logarithm next to 1 is 0, not the noise
    {"=log(tan(pi/4))", Kind::kRounded, "0"},
    {"ln(1+1e-60)", Kind::kRounded, "1e-60"},
    {"ln(e)^(10^60)", Kind::kRounded, "1"},
    {"log(1000)!", Kind::kRounded, "6"},      // cannot be told from 3!, as floor(pi)! is 3!
    {"5 mod exp(300)", Kind::kRounded, "5"},  // a tiny quotient is no whole number
    {"-1 mod exp(300)", Kind::kRounded, "1.94242639524125593658420883602e130"},
    {"exp(-300) mod 1", Kind::kRounded, "5.14820022241201378115486192107e-131"},
    {"=ceil(exp(-300))", Kind::kExact, "1"},
    {"=floor(-exp(-300))", Kind::kExact, "-1"},
    {"=(-8)^(pi*1e-200)", Kind::kError, "outside the function's domain"},
    {"(-2)^ln(e)", Kind::kRounded, "-2"},
    // Exact powers too large to carry, worked out approximately (mpmath at 100 digits).
    {"=(1+0.05/365)^(365*30)", Kind::kRounded, "4.48122868852451524775228008583"},
    {"1.0001^100000", Kind::kRounded, "22015.4560485521986457014565817"},
    {"1.001^5000", Kind::kRounded, "148.042836162640531343687567034"},
    {"0.9999999^9000", Kind::kRounded, "0.999100404833567811364164437506"},
    {"1.0000001^10000000", Kind::kRounded, "2.71828169254496627119855022578"},
    {"(2/3)^20000", Kind::kRounded, "1.49561181172776920764409861525e-3522"},
    {"(-2/3)^20001", Kind::kRounded, "-9.97074541151846138429399076831e-3523"},
    // No result: a reason.
    {"1/0", Kind::kError, "division by zero"},
    {"5 mod 0", Kind::kError, "division by zero"},
    {"ln(0)", Kind::kError, "outside the function's domain"},
    {"sqrt(-1)", Kind::kError, "outside the function's domain"},
    {"asin(2)", Kind::kError, "outside the function's domain"},
    {"3.5!", Kind::kError, "outside the function's domain"},
    {"9^9^9", Kind::kError, "too large"},  // refused before it is worked out
    {"2^34000", Kind::kError, "too large"},
    {"exp(1e6)", Kind::kError, "too large"},
    {"exp(-1e30)", Kind::kError, "too small"},
    {"1e-20000*1", Kind::kError, "too small"},
    {"=10^-20000", Kind::kError, "too small"},
    {"=1e-10000", Kind::kError, "too small"},
    {"asin(1+1e-80)", Kind::kError, "outside the function's domain"},  // told exactly
    {"0.5^(10^100)", Kind::kError, "too small"},
    {"=(1+10^-100)^(10^95)", Kind::kError, "exponent too large"},  // 120 digits cannot tell
    {"10^100 mod pi", Kind::kError, "too large"},
    {"(-pi)^0.5", Kind::kError, "outside the function's domain"},
    {"10^10000", Kind::kError, "too large"},  // 10,001 digits
    // More work than one line may ask for, however fast the machine: a gcd of two numbers of
    // 10,000 digits, a root of one, a decimal of 10,000 places.
    {"(10^9999-1)/(10^9998+1)", Kind::kError, "too much to work out"},
    {"sqrt(2*10^9999)", Kind::kError, "too much to work out"},
    {"=1e-9999", Kind::kError, "too much to work out"},
    {"sin(1e30)", Kind::kError, "too large"},
    {"(1+2", Kind::kError, "a parenthesis not closed"},
    {"=foo", Kind::kError, "unknown name \"foo\""},
    {"=", Kind::kError, "incomplete"},
    {"hex(1/2)", Kind::kError, "hex() and bin() take a whole number"},
    // Lines that stay what they were: programs, numbers and names alone, no expression at all.
    {"7-zip", Kind::kNone, ""},
    {"x64dbg", Kind::kNone, ""},
    {"notepad 1+1.txt", Kind::kNone, ""},
    {"42", Kind::kNone, ""},
    {"pi", Kind::kNone, ""},
    {"1,002", Kind::kNone, ""},
    {"192.168.0.0/16", Kind::kNone, ""},
    {"a=1+1", Kind::kNone, ""},
    {"%X%+1", Kind::kNone, ""},
    {"2e", Kind::kNone, ""},
    {"2024-01-01", Kind::kNone, ""},  // dates, an ISBN, a telephone number: no sums without "="
    {"2024/01/01", Kind::kNone, ""},
    {"01/02/2024", Kind::kNone, ""},
    {"978-3-16-148410-0", Kind::kNone, ""},
    {"+4930123456", Kind::kNone, ""},
    {"--1", Kind::kNone, ""},
    {"2024-12-25", Kind::kNone, ""},
    {"12/25/2024", Kind::kNone, ""},
    {"1/2/2024", Kind::kNone, ""},
    {"+1-555-1234", Kind::kNone, ""},
    {"1.5-2-3-4", Kind::kExact, "-7.5"},  // a chain only when it is the whole line
    {"(10-1-2-3)*2", Kind::kExact, "8"},
    {"=2024-01-01", Kind::kExact, "2022"},
    {"=--1", Kind::kExact, "1"},
    {"555-1234", Kind::kExact, "-679"},
    {"1-2-3", Kind::kExact, "-4"},
    {"2e-05*3", Kind::kExact, "0.00006"},
    {"", Kind::kNone, ""},
};

TEST(Calculator, WorksOutExactlyOrRoundsAndSaysWhyNot) {
    for (const Case& row : kCases) {
        torvex::calc::Result result =
            torvex::calc::Calculate(testsupport::U16(row.line), row.decimal);
        EXPECT_EQ(result.kind, row.kind) << row.line;
        EXPECT_EQ(testsupport::Utf8(result.value), row.value) << row.line;
    }
    EXPECT_EQ(testsupport::Utf8(torvex::calc::Calculate(u"1/3").Shown()),
              "\u2248 0.333333333333333333333333333333");
    EXPECT_EQ(testsupport::Utf8(torvex::calc::Calculate(u"1/0").Shown()), "= ? division by zero");
    // A whole multiple of an approximation leaves nothing, whichever side of it 50 digits land.
    for (const char* constant :
         {"pi", "e", "ln(2)", "sqrt(2)", "ln(10)", "pi/3", "sqrt(5)", "log(7)"}) {
        for (int k = 1; k <= 200; ++k) {
            const std::string c = std::string("(") + constant + ")";
            const std::string line = std::to_string(k) + "*" + c + " mod " + c;
            EXPECT_EQ(testsupport::Utf8(torvex::calc::Calculate(testsupport::U16(line)).value), "0")
                << line;
        }
    }
}

// Deep nesting is refused without exhausting the stack; a line longer than a line is no
// calculation; a long chain of operators is no nesting. The heaviest lines within the work that
// a line may ask for are worked out whole; beyond it a line is refused, on any machine.
TEST(Calculator, RefusesWhatItCannotHold) {
    std::u16string deep = u"=" + std::u16string(2000, u'(') + u"1" + std::u16string(2000, u')');
    EXPECT_EQ(testsupport::Utf8(torvex::calc::Calculate(deep).value), "too deeply nested");
    std::u16string signs = std::u16string(4000, u'-') + u"1";
    EXPECT_EQ(testsupport::Utf8(torvex::calc::Calculate(u"=" + signs).value), "too deeply nested");
    EXPECT_EQ(torvex::calc::Calculate(signs).kind, Kind::kNone) << "without \"=\": no sum";
    EXPECT_EQ(torvex::calc::Calculate(u"=1+" + std::u16string(4095, u'1')).kind, Kind::kNone);
    EXPECT_EQ(torvex::calc::Calculate(u"=" + std::u16string(10000, u'(')).kind, Kind::kNone);
    EXPECT_EQ(torvex::calc::Calculate(u"9*10^9999").value.size(), 10000u) << "10,000 digits";
    EXPECT_EQ(testsupport::Utf8(torvex::calc::Calculate(u"3248!").value).substr(0, 30),
              "197363425308604253120470800340")  // Python's math.factorial, 9,998 digits
        << "the largest factorial";
    EXPECT_EQ(torvex::calc::Calculate(u"=1e-8000").value.size(), 8002u) << "0.000...1";
    std::u16string sines = u"=1";
    for (int i = 0; i < 200; ++i) sines += u"+sin(1)";
    EXPECT_EQ(testsupport::Utf8(torvex::calc::Calculate(sines).value), "too much to work out");
    // A line that the first pass cannot tell at its end is worked out whole by the wider one.
    std::u16string cancelling = u"=sin(1)";
    for (int i = 2; i <= 23; ++i)
        cancelling += u"+sin(" + testsupport::U16(std::to_string(i)) + u")";
    EXPECT_EQ(testsupport::Utf8(torvex::calc::Calculate(cancelling + u"+sin(pi)").value),
              "0.979805809490263371523230889696")  // mpmath at 100 digits
        << "the wider pass has a bound of its own";
    // A long chain is no nesting: a whole line of sums is worked out.
    std::u16string sum = u"1";
    for (int i = 1; i < 2048; ++i) sum += u"+1";
    EXPECT_EQ(testsupport::Utf8(torvex::calc::Calculate(sum).value), "2048");
}

}  // namespace
