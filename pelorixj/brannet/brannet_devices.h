// The older family's functions that the core API calls: listing, getting
// and releasing devices, and the family's connection types.
#pragma once

#include <cstdint>
#include <vector>

#include "pelorixj/device/idevice.h"

namespace pelorixj {

// The devices that the library lists for the connection type, each once,
// with its address upper-cased. An address seen before gives the device
// registered under it; a new one is made and registered. Empty for types
// without a listing prefix (4, 5, 6, 8) and when the library did not load.
// Throws when the library lacks GetDeviceList.
std::vector<IDevice*> ListBrannetDevices(uint32_t connectionType);

// The device registered under exactly this address, else a new device that
// is not registered. Never null.
IDevice* GetBrannetDevice(uint32_t connectionType, const std::string& address);

// Removes the device's registry entry, if it has one, so that no listing
// finds it again; its owner destroys it. Never throws.
void ForgetBrannetDevice(const IDevice* device);

// 0, 1, 2, 3, 7.
const std::vector<uint32_t>& GetBrannetConnectionTypes();

}  // namespace pelorixj
