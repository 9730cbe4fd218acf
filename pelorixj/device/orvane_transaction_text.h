// The formatted command text with which a reader of the newer platform
// starts a transaction.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "pelorixj/device/request_records.h"

namespace pelorixj {

// The longest text the reader's command takes.
constexpr size_t kMaxTransactionTextLength = 255;

// "1001,82=..,A3=..,84=00..,86=..,AC=.." filled from the request. Nothing
// when an amount is refused (see MinorUnits) or the text would be longer
// than kMaxTransactionTextLength.
std::optional<std::string> TransactionCommandText(const TransactionRequest& request);

}  // namespace pelorixj
