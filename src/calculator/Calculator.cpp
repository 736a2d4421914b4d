#include "calculator/Calculator.h"

#include <chrono>
#include <new>
#include <vector>

#include "calculator/Arithmetic.h"
#include "calculator/Evaluator.h"
#include "calculator/Functions.h"
#include "calculator/Lookalikes.h"
#include "calculator/Parser.h"
#include "calculator/Written.h"

namespace torvex::calc {
namespace {

using namespace detail;

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
            // The wider pass has a bound of its own, so that what the first pass spent before it
            // could not tell does not refuse a line it would have worked out: a line that needs
            // it may cost twice the work of one that does not.
            Budget wider;
            Result result = Worked<WideFloat>(parser.nodes(), root, decimal, wider, deadline, true);
            result.work += budget.spent();
            return result;
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