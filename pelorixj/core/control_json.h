// The JSON texts of the device-control wrapper: every member of a request is
// required, hexadecimal ones whole pairs of digits, and a result is written
// compactly with members in ascending key order.
#pragma once

#include <string>

#include "pelorixj/device/device_records.h"
#include "pelorixj/device/request_records.h"

namespace pelorixj {

// "Type", "Data" and "BackgroundColor". Throws JsonFieldError.
ImageObject ImageObjectFromJson(const std::string& text);
// "Type", "Format", "Data", "BlockColor", "BackgroundColor",
// "ErrorCorrection", "MaskPattern", "MinVersion" and "MaxVersion". Throws
// JsonFieldError.
BarCodeRequest BarCodeRequestFromJson(const std::string& text);

// {"Data":<Data.Text>,"Status":<signed Status>}; throws when Data.Text is
// not valid UTF-8.
std::string DeviceResponseJson(const DeviceResponse& response);

}  // namespace pelorixj
