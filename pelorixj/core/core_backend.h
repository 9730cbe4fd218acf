// The core API's back end: devices of both families by device type, handed
// out as handles of the live-object table. Failures of a family (a library
// without its list function, an unbound function) are thrown to the caller.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pelorixj/core/live_objects.h"

namespace pelorixj {

// For each device type in order, the devices of each connection type that
// the type can list, in the family's order; device types without devices
// add none. A device listed before keeps its handle.
std::vector<Handle> GetDeviceList(const std::vector<uint32_t>& deviceTypes);

// The devices that the family lists for the connection type, which is
// passed on also when the type is not listed as a whole.
std::vector<Handle> GetDeviceListWithConnectionType(uint32_t deviceType, uint32_t connectionType);

// The family's device for the address; 0 for a device type without
// devices.
Handle GetDevice(uint32_t deviceType, uint32_t connectionType, const std::string& address);

// Closes the device, takes it and its parts out of the table, out of its
// family's registry and drops its subscriber. It is destroyed once no call
// runs on it any more. Inside a listener or callback nothing here waits for
// another device's event thread: the library's close and the destruction go
// on without the caller (see LinkSequence, DestroyDevice). A handle that
// names no live device is ignored, and a device that fails to close stays
// live. Never throws.
void ReleaseDevice(Handle device);

}  // namespace pelorixj
