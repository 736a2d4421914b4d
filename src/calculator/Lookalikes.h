#pragma once
// Lines that a user types as a name or a number, which would parse as sums: a date
// (2024-01-01, 12/25/2024), an ISBN, a telephone number (+4930123456, +1-555-1234), a doubled
// sign (--1).
// Without "=" such a line is no calculation and runs as before.
#include <string_view>

namespace torvex::calc {

bool LooksLikeANameOrNumber(std::u16string_view line);

}  // namespace torvex::calc
