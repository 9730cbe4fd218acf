// The older family's transaction amounts: decimal text from the caller's
// request (digits, optionally a point and digits, white space around),
// read as strtod reads it in the "C" locale (this program never changes its
// locale); then the command text built from two of them.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "pelorixj/brannet/transaction_command.h"

using namespace pelorixj;

namespace {

const char kBlanks[] = " \t\n\v\f\r";

// The text between the white space, when it is decimal text.
std::optional<std::string> DecimalText(const std::string& text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return std::nullopt;
  const std::string number = text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
  const size_t point = number.find('.');
  const bool digitsOnly = number.find_first_not_of("0123456789.") == std::string::npos;
  const bool onePointInside = point == std::string::npos || (point > 0 && point + 1 < number.size() &&
                                                              number.find('.', point + 1) == std::string::npos);
  if (!digitsOnly || !onePointInside) return std::nullopt;
  return number;
}

void CheckAmount(const std::string& text) {
  const std::optional<int64_t> minorUnits = MinorUnits(text);
  const std::optional<std::string> decimal = DecimalText(text);
  if (!decimal) {
    FUZZ_CHECK(!minorUnits);
    return;
  }
  // Beyond the doubles strtod gives infinity; below them the nearest double or zero.
  const double expected = std::round(std::strtod(decimal->c_str(), nullptr) * 100);
  if (expected > static_cast<double>(kMaxMinorUnits)) {
    FUZZ_CHECK(!minorUnits);
  } else {
    FUZZ_CHECK(minorUnits && *minorUnits == static_cast<int64_t>(expected));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The amount, then after the first zero byte the cash-back amount; each
  // is also read on its own, zero bytes and all.
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  TransactionRequest request;
  request.Amount = input.substr(0, split);
  request.CashBack = split == std::string::npos ? std::string("0") : input.substr(split + 1);
  request.PaymentMethods = size > 0 ? data[0] : 0;
  request.QuickChip = size > 1 && (data[1] & 1) != 0;
  CheckAmount(request.Amount);
  CheckAmount(request.CashBack);

  const std::optional<std::string> command = TransactionCommand(request);
  const std::optional<int64_t> amount = MinorUnits(request.Amount);
  const std::optional<int64_t> cashBack = MinorUnits(request.CashBack);
  FUZZ_CHECK(command.has_value() == (amount && cashBack));
  if (command) {
    FUZZ_CHECK(command->size() == 43);
    FUZZ_CHECK(command->compare(0, 7, "0300:3C") == 0);
    FUZZ_CHECK(std::stoi(command->substr(7, 2), nullptr, 16) == (request.PaymentMethods & 7));
    FUZZ_CHECK(command->substr(9, 2) == (request.QuickChip ? "80" : "00"));
    FUZZ_CHECK(std::stoll(command->substr(11, 12)) == *amount);
    FUZZ_CHECK(std::stoll(command->substr(25, 12)) == *cashBack);
  }
  return 0;
}
