#include "pelorixj/brannet/transaction_command.h"

#include <cstdio>

namespace pelorixj {
namespace {

constexpr unsigned kTimeoutSeconds = 60;
constexpr unsigned kQuickChipFlag = 0x80;
constexpr unsigned kLastField = 2;

}  // namespace

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
