// The command text with which a reader of the older family starts a
// transaction.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "pelorixj/device/request_records.h"

namespace pelorixj {

// The largest amount that the command's twelve digits hold.
constexpr int64_t kMaxMinorUnits = 999999999999;

// An amount as minor units (times 100, rounded half away from zero). The
// text reads as std::stod would in the "C" locale, whatever the process's
// locale: leading blanks and a sign, then the longest decimal or
// hexadecimal ("0x") number, the rest ignored. Nothing when it holds no
// number, or the amount is not finite or lies outside 0 to kMaxMinorUnits.
std::optional<int64_t> MinorUnits(const std::string& amount);

// "0300:" and the time-out 60, the payment methods, the quick-chip flag,
// the amount and the cash-back amount in their fixed-width fields; nothing
// when an amount is refused.
std::optional<std::string> TransactionCommand(const TransactionRequest& request);

}  // namespace pelorixj
