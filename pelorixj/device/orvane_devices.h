// The newer platform's functions that the core API calls: listing, getting
// and releasing devices, and the platform's connection types.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pelorixj/device/idevice.h"

namespace pelorixj {

// The devices that Quorlan lists for the connection type, then every open
// device of that type that the list no longer holds. An entry seen before
// gives the device registered under its path or its entry text; a new one
// is made and registered (an entry whose device cannot be made is skipped).
// Empty when Quorlan did not load. Throws when Quorlan lacks its list
// function, when its list does not parse, or when an entry has no string
// "Path".
std::vector<IDevice*> ListOrvaneDevices(uint32_t connectionType);

// The device registered under exactly this address; else, for an empty
// USB address, the first device listed; else a new device, registered
// under the address. Never null. Throws what listing throws.
IDevice* GetOrvaneDevice(uint32_t connectionType, const std::string& address);

// Removes the device's registry entries, so that no listing finds it
// again; its owner destroys it. Never throws.
void ForgetOrvaneDevice(const IDevice* device);

// 0, 8, 7.
const std::vector<uint32_t>& GetOrvaneConnectionTypes();

}  // namespace pelorixj
