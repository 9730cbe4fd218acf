#include "pelorixj/core/connection_types.h"

#include <algorithm>
#include <array>

#include "pelorixj/device/device_enums.h"
#include "pelorixj/core/device_families.h"
#include "quorlan/message/plain_text.h"

namespace pelorixj {
namespace {

// Indexed by connection type; a name reads back whatever its case.
const std::array<const char*, 9> kNames = {"USB",   "BLE",        "BLEEMV", "BLEEMVT",  "TCP",
                                           "TLS12", "TLS12TRUST", "SERIAL", "WebSocket"};

}  // namespace

std::string ConnectionTypeName(uint32_t connectionType) {
  return connectionType < kNames.size() ? kNames[connectionType] : "";
}

uint32_t ConnectionTypeFromName(const std::string& name) {
  const std::string upper = quorlan::ToUpper(name);
  for (uint32_t type = 0; type < kNames.size(); ++type) {
    if (upper == quorlan::ToUpper(kNames[type])) return type;
  }
  return kConnectionUsb;
}

std::vector<uint32_t> SupportedConnectionTypes(uint32_t deviceType) {
  const DeviceFamily* family = FamilyOfType(deviceType);
  return family == nullptr ? std::vector<uint32_t>() : family->connectionTypes();
}

bool IsEnumerable(uint32_t deviceType, uint32_t connectionType) {
  const DeviceFamily* family = FamilyOfType(deviceType);
  return family != nullptr && std::count(family->enumerable.begin(), family->enumerable.end(), connectionType) != 0;
}

}  // namespace pelorixj
