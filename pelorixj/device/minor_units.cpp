#include "pelorixj/device/minor_units.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace pelorixj {
namespace {

// White space in the "C" locale.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// "0x" and then a digit or a point: anything else leaves the number 0 with
// the "x" not read.
bool StartsHexadecimal(const char* begin, const char* end) {
  return end - begin > 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X') &&
         (IsHexDigit(begin[2]) || begin[2] == '.');
}

}  // namespace

double ReadAmount(const std::string& text) {
  const char* begin = text.c_str();
  const char* end = begin + text.size();
  while (begin < end && IsBlank(*begin)) ++begin;
  bool negative = false;
  if (begin < end && (*begin == '+' || *begin == '-')) {
    negative = *begin == '-';
    ++begin;
  }
  // from_chars would take a second sign.
  if (begin < end && *begin == '-') throw std::invalid_argument("invalid stod argument");
  double value = 0;
  std::from_chars_result read{begin, std::errc::invalid_argument};
  // from_chars takes no "0x" before a hexadecimal number.
  if (StartsHexadecimal(begin, end)) read = std::from_chars(begin + 2, end, value, std::chars_format::hex);
  if (read.ec == std::errc::invalid_argument) read = std::from_chars(begin, end, value);
  if (read.ec == std::errc::invalid_argument) throw std::invalid_argument("invalid stod argument");
  // Below double's normal range std::stod fails as well.
  if (read.ec == std::errc::result_out_of_range ||
      (value != 0 && std::fabs(value) < std::numeric_limits<double>::min())) {
    throw std::out_of_range("stod argument out of range");
  }
  return negative ? -value : value;
}

std::optional<int64_t> ToMinorUnits(double value) {
  const double minorUnits = std::round(value * 100);
  if (!std::isfinite(minorUnits) || minorUnits < 0 || minorUnits > static_cast<double>(kMaxMinorUnits)) {
    return std::nullopt;
  }
  return static_cast<int64_t>(minorUnits);
}

std::optional<int64_t> MinorUnits(const std::string& amount) {
  try {
    return ToMinorUnits(ReadAmount(amount));
  } catch (const std::logic_error&) {
    return std::nullopt;
  }
}

}  // namespace pelorixj
