// The two reader families behind the core API, each reached through its own
// functions: device type 3, the newer platform, and 0, the older family.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pelorixj/device/idevice.h"

namespace pelorixj {

struct DeviceFamily {
  uint32_t deviceType;
  // The connection types that listing the whole device type walks.
  std::vector<uint32_t> enumerable;
  // The connection types that the family supports, in its order.
  const std::vector<uint32_t>& (*connectionTypes)();
  std::vector<IDevice*> (*list)(uint32_t connectionType);
  IDevice* (*get)(uint32_t connectionType, const std::string& address);
  // Drops the device from the family's registry, so that listing no longer
  // finds it.
  void (*forget)(const IDevice* device);
};

// Null for a device type without devices.
const DeviceFamily* FamilyOfType(uint32_t deviceType);

}  // namespace pelorixj
