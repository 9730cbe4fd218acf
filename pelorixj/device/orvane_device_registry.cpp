#include "pelorixj/device/orvane_device_registry.h"

namespace pelorixj {

DeviceRegistry<OrvaneIDevice>& OrvaneDeviceRegistry() {
  static auto* const registry = new DeviceRegistry<OrvaneIDevice>();
  return *registry;
}

}  // namespace pelorixj
