#pragma once
// Lines that a user types as a name or a number, which would parse as sums: a date
// (2024-01-01, 01/02/2024), an ISBN, a telephone number (+4930123456), a doubled sign (--1).
// Without "=" such a line is no calculation and runs as before.
#include <string_view>

namespace torvex::calc {

bool LooksLikeANameOrNumber(std::u16string_view line);

}  // namespace torvex::calc
