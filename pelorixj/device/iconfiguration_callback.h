// The callback of long configuration operations.
#pragma once

#include <cstdint>
#include <vector>

#include "pelorixj/device/device_records.h"

namespace pelorixj {

class IConfigurationCallback {
 public:
  virtual ~IConfigurationCallback() = default;

  virtual void OnProgress(int percent) = 0;
  // status is a ConfigurationResultStatus.
  virtual void OnResult(int status, std::vector<uint8_t> data) = 0;
  virtual MacResult OnCalculateMAC(uint8_t macType, std::vector<uint8_t> data) = 0;
};

}  // namespace pelorixj
