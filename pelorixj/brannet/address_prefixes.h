// The address prefixes of the older family's readers, by connection type.
#pragma once

#include <cstdint>
#include <string>

namespace pelorixj {

// Addresses of the device list begin with these: "HID://" (0), "BLE://" (1),
// "BLEEMV://" (2), "BLEEMVT://" (3), "SERIAL://" (7). Empty for the other
// types, which are not listed.
std::string ListingPrefix(uint32_t connectionType);

// The listing prefix, but empty for type 1 too: BLE readers are listed,
// but do not open.
std::string OpenPrefix(uint32_t connectionType);

}  // namespace pelorixj
