#include "pelorixj/brannet/brannet_devices.h"

#include <string>

#include "pelorixj/brannet/address_prefixes.h"
#include "pelorixj/brannet/brannet_device_registry.h"
#include "pelorixj/brannet/brannet_idevice.h"
#include "pelorixj/brannet/brannet_library.h"
#include "pelorixj/brannet/device_list_text.h"

namespace pelorixj {

std::vector<IDevice*> ListBrannetDevices(uint32_t connectionType) {
  std::vector<IDevice*> devices;
  if (ListingPrefix(connectionType).empty() || !Brannet().IsLoaded()) return devices;
  const std::string list = Brannet().getDeviceList();
  if (list.empty()) return devices;
  auto& registry = BrannetDeviceRegistry();
  const auto hold = registry.Hold();
  for (const std::string& address : ListedAddresses(connectionType, list)) {
    BrannetIDevice* device = registry.Find(address);
    if (device == nullptr) {
      device = new BrannetIDevice(connectionType, address);
      registry.Insert(address, device);
    }
    devices.push_back(device);
  }
  return devices;
}

IDevice* GetBrannetDevice(uint32_t connectionType, const std::string& address) {
  if (BrannetIDevice* registered = BrannetDeviceRegistry().Find(address)) return registered;
  return new BrannetIDevice(connectionType, address);
}

void ForgetBrannetDevice(const IDevice* device) { BrannetDeviceRegistry().EraseDevice(device); }

const std::vector<uint32_t>& GetBrannetConnectionTypes() {
  // Never destroyed: the Java VM's exit may run while its threads ask.
  static const auto* const types = new std::vector<uint32_t>{0, 1, 2, 3, 7};
  return *types;
}

}  // namespace pelorixj
