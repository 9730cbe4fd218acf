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

// The number at the start of the text, read as std::stod reads it in the
// "C" locale: leading white space and a sign, then the longest decimal,
// hexadecimal, infinity or NaN form; the rest is ignored. Throws
// std::invalid_argument("invalid stod argument") when the text holds no
// number and std::out_of_range("stod argument out of range") when the
// number lies beyond double's range. Unlike std::stod, a number below the
// normal doubles reads as the nearest double or zero, never as a failure:
// such an amount is zero minor units, as any amount below half a minor unit.
double ReadAmount(const std::string& text);

// value times 100, rounded half away from zero; nothing when that is not
// finite or lies outside 0 to kMaxMinorUnits.
std::optional<int64_t> ToMinorUnits(double value);

// Both; nothing also when the text holds no number.
std::optional<int64_t> MinorUnits(const std::string& amount);

}  // namespace pelorixj
