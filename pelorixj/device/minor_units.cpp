#include "pelorixj/device/minor_units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace pelorixj {
namespace {

// White space in the "C" locale.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// "0x" and then a digit or a point: anything else leaves the number 0 with
// the "x" not read.
bool StartsHexadecimal(const char* begin, const char* end) {
  return end - begin > 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X') &&
         (IsHexDigit(begin[2]) || begin[2] == '.');
}

// Where a hexadecimal number's text may end: before a "p" whose sign no
// digit follows. from_chars in libstdc++ 12 takes "p+-7" for "p-7".
const char* HexadecimalTextEnd(const char* begin, const char* end) {
  const char* exponent = std::find_if(begin, end, [](char c) { return c == 'p' || c == 'P'; });
  if (end - exponent > 2 && (exponent[1] == '+' || exponent[1] == '-') && !IsDigit(exponent[2])) return exponent;
  return end;
}

// Whether a number that from_chars found out of double's range lies below
// it rather than beyond it, which from_chars does not tell: the place of its
// leading digit plus its exponent is then far below zero.
bool BelowDoubleRange(const char* begin, const char* end) {
  const bool hexadecimal = StartsHexadecimal(begin, end);
  if (hexadecimal) begin += 2;
  const auto isDigit = hexadecimal ? IsHexDigit : IsDigit;
  int64_t place = 0;
  const char* at = begin;
  for (; at < end && isDigit(*at); ++at) {
    if (place > 0 || *at != '0') ++place;
  }
  if (at < end && *at == '.') ++at;
  for (bool leading = place > 0; at < end && isDigit(*at); ++at) {
    leading = leading || *at != '0';
    if (!leading) --place;
  }
  // A hexadecimal number's exponent counts bits, four to a digit.
  if (hexadecimal) place *= 4;
  // What follows is the exponent: from_chars took the text only as far as the number goes.
  int64_t exponent = 0;
  bool negative = false;
  if (at < end) ++at;
  if (at < end && (*at == '+' || *at == '-')) negative = *at++ == '-';
  // Capped far beyond any place a text can reach, so the sum keeps its sign.
  for (; at < end; ++at) exponent = std::min<int64_t>(exponent * 10 + (*at - '0'), int64_t{1} << 50);
  return place + (negative ? -exponent : exponent) < 0;
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
  if (StartsHexadecimal(begin, end)) {
    read = std::from_chars(begin + 2, HexadecimalTextEnd(begin + 2, end), value, std::chars_format::hex);
  }
  if (read.ec == std::errc::invalid_argument) read = std::from_chars(begin, end, value);
  if (read.ec == std::errc::invalid_argument) throw std::invalid_argument("invalid stod argument");
  if (read.ec == std::errc::result_out_of_range) {
    // Below the doubles an amount is zero minor units; beyond them it fails.
    if (!BelowDoubleRange(begin, read.ptr)) throw std::out_of_range("stod argument out of range");
    value = 0;
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
