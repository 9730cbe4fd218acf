// Decimal amount texts as minor units (hundredths), read the same way
// whatever the process's locale: a Java VM may set one whose decimal
// separator is not a point.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pelorixj {

// The largest amount that a twelve-digit field holds.
constexpr int64_t kMaxMinorUnits = 999999999999;

// The amount of decimal text: digits, then optionally a "." and digits,
// with white space before and after. Anything else is refused, so that no
// amount is charged as another: a sign, a comma, an exponent, hexadecimal,
// ".5", "5.", a currency after the number. The nearest double to the text,
// times 100 and rounded half away from zero (as std::round does); nothing
// for refused text and beyond kMaxMinorUnits.
std::optional<int64_t> MinorUnits(const std::string& amount);

}  // namespace pelorixj
