#include "pelorixj/device/minor_units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace pelorixj {
namespace {

// White space in the "C" locale.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipDigits(const char* at, const char* end) { return std::find_if_not(at, end, IsDigit); }

}  // namespace

std::optional<int64_t> MinorUnits(const std::string& amount) {
  const char* begin = std::find_if_not(amount.data(), amount.data() + amount.size(), IsBlank);
  const char* end = amount.data() + amount.size();
  while (end > begin && IsBlank(end[-1])) --end;
  const char* integerEnd = SkipDigits(begin, end);
  const bool point = integerEnd < end && *integerEnd == '.';
  const char* fractionEnd = point ? SkipDigits(integerEnd + 1, end) : integerEnd;
  if (integerEnd == begin || fractionEnd != end || (point && fractionEnd == integerEnd + 1)) return std::nullopt;

  double value = 0;
  if (std::from_chars(begin, end, value, std::chars_format::fixed).ec == std::errc::result_out_of_range) {
    // Beyond the doubles, or below them: then far below half a minor unit.
    if (std::find_if(begin, integerEnd, [](char c) { return c != '0'; }) != integerEnd) return std::nullopt;
    value = 0;
  }
  const double minorUnits = std::round(value * 100);
  if (minorUnits > static_cast<double>(kMaxMinorUnits)) return std::nullopt;
  return static_cast<int64_t>(minorUnits);
}

}  // namespace pelorixj
