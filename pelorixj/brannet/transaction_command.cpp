#include "pelorixj/brannet/transaction_command.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace pelorixj {
namespace {

constexpr unsigned kTimeoutSeconds = 60;
constexpr unsigned kQuickChipFlag = 0x80;
constexpr unsigned kLastField = 2;

// White space in the "C" locale.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// std::from_chars takes no "0x": a hexadecimal number behind one is read
// here, with its sign, as std::strtod reads it.
std::from_chars_result ReadNumber(const char* begin, const char* end, double& value) {
  const bool negative = begin < end && *begin == '-';
  const char* number = negative ? begin + 1 : begin;
  // The digits of a hexadecimal number begin right after the "0x"; anything
  // else leaves the number 0 with the "x" not read.
  if (end - number > 2 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X') &&
      (IsHexDigit(number[2]) || number[2] == '.')) {
    const std::from_chars_result hex = std::from_chars(number + 2, end, value, std::chars_format::hex);
    if (hex.ec != std::errc::invalid_argument) {
      if (negative) value = -value;
      return hex;
    }
  }
  return std::from_chars(begin, end, value);
}

}  // namespace

std::optional<int64_t> MinorUnits(const std::string& amount) {
  const char* begin = amount.c_str();
  const char* end = begin + amount.size();
  while (begin < end && IsBlank(*begin)) ++begin;
  // from_chars takes a minus sign only.
  if (begin < end && *begin == '+') {
    ++begin;
    if (begin < end && *begin == '-') return std::nullopt;
  }
  double value = 0;
  if (ReadNumber(begin, end, value).ec != std::errc()) return std::nullopt;
  const double minorUnits = std::round(value * 100);
  if (!std::isfinite(minorUnits) || minorUnits < 0 || minorUnits > static_cast<double>(kMaxMinorUnits)) {
    return std::nullopt;
  }
  return static_cast<int64_t>(minorUnits);
}

std::optional<std::string> TransactionCommand(const TransactionRequest& request) {
  const std::optional<int64_t> amount = MinorUnits(request.Amount);
  const std::optional<int64_t> cashBack = MinorUnits(request.CashBack);
  if (!amount || !cashBack) return std::nullopt;
  char fields[39];
  std::snprintf(fields, sizeof fields, "%02X%02X%02X%012lld%02X%012lld%04d%02X", kTimeoutSeconds,
                static_cast<unsigned>(request.PaymentMethods & 7), request.QuickChip ? kQuickChipFlag : 0u,
                static_cast<long long>(*amount), 0u, static_cast<long long>(*cashBack), 0, kLastField);
  return "0300:" + std::string(fields);
}

}  // namespace pelorixj
