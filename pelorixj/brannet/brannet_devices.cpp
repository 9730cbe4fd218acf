#include "pelorixj/brannet/brannet_devices.h"

#include <string>

#include "pelorixj/brannet/address_prefixes.h"
#include "pelorixj/brannet/brannet_device_registry.h"
#include "pelorixj/brannet/brannet_idevice.h"
#include "pelorixj/brannet/brannet_library.h"
#include "pelorixj/brannet/device_list_text.h"
#include "pelorixj/brannet/live_brannet_devices.h"

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

void ReleaseBrannetDevice(IDevice* device) {
  try {
    BrannetIDevice* released = nullptr;
    {
      auto& registry = BrannetDeviceRegistry();
      const auto hold = registry.Hold();
      released = live_brannet_devices::Claim(device);
      if (released == nullptr) return;
      registry.EraseIfPointsTo(released->GetConnectionInfo().Address, released);
    }
    // Outside the registry's lock: closing waits for the library's callbacks,
    // which may list devices.
    delete released;
  } catch (...) {
  }
}

bool IsLiveBrannetDevice(const IDevice* device) { return live_brannet_devices::Contains(device); }

const std::vector<uint32_t>& GetBrannetConnectionTypes() {
  static const std::vector<uint32_t> types = {0, 1, 2, 3, 7};
  return types;
}

}  // namespace pelorixj
