#include "quorlan/capi/device_list_json.h"

namespace quorlan {

std::string DeviceListJson(OrvaneDevice& lister) {
  std::string list = "[";
  lister.GetDeviceList(
      [&](std::string, std::string entry) {
        if (list.size() > 1) list += ",";
        list += entry;
        return false;
      },
      "");
  return list + "]";
}

}  // namespace quorlan
