// The text that describes one accepted reader in the device list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorlan {

// Escapes text for a JSON string value: backslash, solidus and quote get a
// backslash, the five controls with a short escape use it, other controls
// below 0x20 become \u00XX; all other bytes are copied.
std::string EscapeJsonText(const std::string& text);

// The first maxUnits UTF-16 units of UTF-8 text, ending early at a NUL. A
// character that would not fit whole is left out.
std::string ClipToUtf16Units(const std::string& text, size_t maxUnits);

// {"DSN":..,"Name":..,"Product":..,"PID":..,"VID":..,"Path":..}, in that
// order and without spaces; "Name" repeats the serial number.
std::string BuildDeviceListEntry(const std::string& serialNumber, const std::string& product,
                                 uint16_t productId, uint16_t vendorId, const std::string& path);

}  // namespace quorlan
