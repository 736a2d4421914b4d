#pragma once
// The last line the calculator was asked about, and its result: the box asks at every paint and
// at the keys that take a suggestion, and works a line out once for each text and separator.
#include <string>

#include "calculator/Calculator.h"

namespace torvex {

struct Calculated {
    bool valid = false;  // false after a .reconfig: the switch or the aliases may have changed
    std::wstring line;
    char16_t separator = u'.';  // the decimal separator it was worked out with
    calc::Result result;
};

}  // namespace torvex
