#include "pelorixj/brannet/address_prefixes.h"

namespace pelorixj {

std::string ListingPrefix(uint32_t connectionType) {
  switch (connectionType) {
    case 0:
      return "HID://";
    case 1:
      return "BLE://";
    case 2:
      return "BLEEMV://";
    case 3:
      return "BLEEMVT://";
    case 7:
      return "SERIAL://";
    default:
      return "";
  }
}

std::string OpenPrefix(uint32_t connectionType) { return connectionType == 1 ? "" : ListingPrefix(connectionType); }

}  // namespace pelorixj
