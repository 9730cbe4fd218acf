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
  // Removes the device's registry entry and destroys it; ignores a device
  // that is not live.
  void (*release)(IDevice* device);
  // Whether the family made the device and has not yet destroyed it.
  bool (*isLive)(const IDevice* device);
};

// Null for a device type without devices.
const DeviceFamily* FamilyOfType(uint32_t deviceType);

// The family that made the device; null when no family holds it live
// (released already, or not a device at all).
const DeviceFamily* FamilyOfDevice(const IDevice* device);

}  // namespace pelorixj
