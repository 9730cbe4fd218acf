// The command text with which a reader of the older family starts a
// transaction.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "pelorixj/device/minor_units.h"
#include "pelorixj/device/request_records.h"

namespace pelorixj {

// "0300:" and the time-out 60, the payment methods, the quick-chip flag,
// the amount and the cash-back amount in their fixed-width fields; nothing
// when an amount is refused (see MinorUnits), as on the newer platform.
std::optional<std::string> TransactionCommand(const TransactionRequest& request);

}  // namespace pelorixj
