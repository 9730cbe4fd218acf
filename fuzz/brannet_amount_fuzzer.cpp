// The older family's transaction amounts: decimal text from the caller's
// request, read as std::stod reads it in the "C" locale (this program never
// changes its locale), then the command text built from two of them.
#include <cerrno>
#include <cfloat>
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

enum class Reading { kNumber, kNoNumber, kOverflow, kUnderflow };

// What std::stod makes of the text, without its exceptions.
Reading ReadLikeStod(const std::string& text, double& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return Reading::kNoNumber;
  if (errno == ERANGE) return std::fabs(value) < DBL_MIN ? Reading::kUnderflow : Reading::kOverflow;
  return Reading::kNumber;
}

void CheckAmount(const std::string& text) {
  const std::optional<int64_t> minorUnits = MinorUnits(text);
  if (minorUnits) FUZZ_CHECK(*minorUnits >= 0 && *minorUnits <= kMaxMinorUnits);

  double value = 0;
  switch (ReadLikeStod(text, value)) {
    case Reading::kNoNumber:
    case Reading::kOverflow:
      FUZZ_CHECK(!minorUnits);
      return;
    case Reading::kUnderflow:
      // std::stod refuses what lies below the normal doubles; such an amount
      // is zero minor units, and reading it as zero is as good.
      FUZZ_CHECK(!minorUnits || *minorUnits == 0);
      return;
    case Reading::kNumber:
      break;
  }
  const double expected = std::round(value * 100);
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
