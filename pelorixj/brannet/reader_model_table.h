// The reader models of the older family, looked up by the product id that
// its library reports. Product ids are unique.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pelorixj/device/device_records.h"

namespace pelorixj {

struct ReaderModel {
  uint32_t productId;
  std::string modelName;
  DeviceCapabilities capabilities;
};

// Built on first use and never destroyed.
const std::vector<ReaderModel>& ReaderModelTable();

}  // namespace pelorixj
