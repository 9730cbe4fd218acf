#include "pelorixj/brannet/brannet_device_registry.h"

namespace pelorixj {

DeviceRegistry<BrannetIDevice>& BrannetDeviceRegistry() {
  static auto* const registry = new DeviceRegistry<BrannetIDevice>();
  return *registry;
}

}  // namespace pelorixj
