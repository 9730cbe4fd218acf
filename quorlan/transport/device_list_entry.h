// The text that describes one accepted reader in the device list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorlan {

// The first maxUnits UTF-16 units of UTF-8 text, ending early at a NUL. A
// character that would not fit whole is left out.
std::string ClipToUtf16Units(const std::string& text, size_t maxUnits);

// {"DSN":..,"Name":..,"Product":..,"PID":..,"VID":..,"Path":..}, in that
// order and without spaces; "Name" repeats the serial number.
std::string BuildDeviceListEntry(const std::string& serialNumber, const std::string& product,
                                 uint16_t productId, uint16_t vendorId, const std::string& path);

}  // namespace quorlan
