// Connection types by number and by name, and which of them each device
// type supports and can list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelorixj {

// "USB" for 0 ... "WebSocket" for 8; the empty text for any other value.
std::string ConnectionTypeName(uint32_t connectionType);

// The type whose name equals the upper-cased name ("WebSocket" reads as 8);
// 0 for any other name, blanks included.
uint32_t ConnectionTypeFromName(const std::string& name);

// In the family's order; none for a device type without devices.
std::vector<uint32_t> SupportedConnectionTypes(uint32_t deviceType);

// Whether devices of the type are listed on the connection type.
bool IsEnumerable(uint32_t deviceType, uint32_t connectionType);

}  // namespace pelorixj
