// The core API's back end: devices of both families by device type, as
// lists of IDevice pointers. Failures of a family (a library without its
// list function, an unbound function) are thrown to the caller.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pelorixj/device/idevice.h"

namespace pelorixj {

// For each device type in order, the devices of each connection type that
// the type can list, in the family's order; device types without devices
// add none.
std::vector<IDevice*> GetDeviceList(const std::vector<uint32_t>& deviceTypes);

// The devices that the family lists for the connection type, which is
// passed on also when the type is not listed as a whole.
std::vector<IDevice*> GetDeviceListWithConnectionType(uint32_t deviceType, uint32_t connectionType);

// The family's device for the address; null for a device type without
// devices.
IDevice* GetDevice(uint32_t deviceType, uint32_t connectionType, const std::string& address);

// Closes the device, frees its Java subscriber, if any, and has its family
// destroy it. Null, a device that no family holds live (released already)
// and one being released on another thread are ignored; a failure of the
// device ends the release silently. Never throws.
void ReleaseDevice(IDevice* device);

}  // namespace pelorixj
