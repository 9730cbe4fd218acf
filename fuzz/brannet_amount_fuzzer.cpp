// The older family's transaction amounts: decimal text from the caller's
// request, read as std::stod reads it in the "C" locale (this program never
// changes its locale) but for amounts below the normal doubles, which are
// zero minor units; then the command text built from two of them.
#include <cerrno>
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

// The number that strtod reads; nothing when the text holds none or it lies
// beyond double's range. Below the normal doubles strtod gives the nearest
// double or zero, whether it reports the underflow or not (std::stod fails
// on a reported one): either rounds to zero minor units.
std::optional<double> ReadWithStrtod(const std::string& text) {
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || (errno == ERANGE && std::isinf(value))) return std::nullopt;
  return value;
}

void CheckAmount(const std::string& text) {
  const std::optional<int64_t> minorUnits = MinorUnits(text);
  if (minorUnits) FUZZ_CHECK(*minorUnits >= 0 && *minorUnits <= kMaxMinorUnits);

  const std::optional<double> value = ReadWithStrtod(text);
  if (!value) {
    FUZZ_CHECK(!minorUnits);
    return;
  }
  const double expected = std::round(*value * 100);
  if (!std::isfinite(expected) || expected < 0 || expected > static_cast<double>(kMaxMinorUnits)) {
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
