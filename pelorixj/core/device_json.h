// The JSON texts of the device wrapper: requests read from Java and results
// written for it. Results are compact, members in ascending key order,
// numbers signed from their 32-bit fields; a text in them that is not valid
// UTF-8 makes the writing throw.
#pragma once

#include <string>

#include "pelorixj/device/device_records.h"
#include "pelorixj/device/request_records.h"

namespace pelorixj {

// "Timeout", "PaymentMethods", "QuickChip", "EMVOnly" and "Amount" are
// required; every later member that is missing or of another type keeps its
// field's default. Hexadecimal members must be whole pairs of digits.
// Throws JsonFieldError.
TransactionRequest TransactionRequestFromJson(const std::string& text);
// Every member required; "PAN" whole pairs of hexadecimal digits. Throws
// JsonFieldError.
PinRequest PinRequestFromJson(const std::string& text);
PanRequest PanRequestFromJson(const std::string& text);

std::string ConnectionInfoJson(const ConnectionInfo& info);
std::string DeviceInfoJson(const DeviceInfo& info);
std::string DeviceCapabilitiesJson(const DeviceCapabilities& capabilities);

}  // namespace pelorixj
