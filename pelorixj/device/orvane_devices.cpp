#include "pelorixj/device/orvane_devices.h"

#include <nlohmann/json.hpp>

#include <algorithm>

#include "pelorixj/device/orvane_device_registry.h"
#include "pelorixj/device/orvane_idevice.h"
#include "pelorixj/device/qrx_library.h"

namespace pelorixj {
namespace {

// The device that an entry of Quorlan's list stands for: the one registered
// under its path (made by that address), else under its text, else a new
// one; null when none can be made. Throws for an entry without a string
// "Path".
OrvaneIDevice* DeviceOfEntry(uint32_t connectionType, const nlohmann::json& entry) {
  // A copy: looking up a missing key in a constant value is undefined.
  nlohmann::json lookup = entry;
  const std::string path = lookup["Path"].get<std::string>();
  const std::string text = entry.dump();
  auto& registry = OrvaneDeviceRegistry();
  if (OrvaneIDevice* byPath = registry.Find(path)) return byPath;
  if (OrvaneIDevice* byText = registry.Find(text)) return byText;
  try {
    return new OrvaneIDevice(connectionType, text);
  } catch (...) {
    return nullptr;
  }
}

bool HasAddress(const std::vector<IDevice*>& devices, const std::string& address) {
  return std::any_of(devices.begin(), devices.end(),
                     [&](IDevice* device) { return device->GetConnectionInfo().Address == address; });
}

}  // namespace

std::vector<IDevice*> ListOrvaneDevices(uint32_t connectionType) {
  std::vector<IDevice*> devices;
  const QrxLibrary& qrx = Qrx();
  if (!qrx.IsLoaded()) return devices;
  const auto list = nlohmann::json::parse(qrx.getDeviceList(connectionType));
  auto& registry = OrvaneDeviceRegistry();
  const auto hold = registry.Hold();
  for (const auto& entry : list) {
    if (OrvaneIDevice* device = DeviceOfEntry(connectionType, entry)) devices.push_back(device);
  }
  // An open device stays listed after Quorlan stops listing it.
  for (const auto& [key, device] : registry.Entries()) {
    const ConnectionInfo info = device->GetConnectionInfo();
    if (info.ConnectionType == connectionType && device->Control().IsOpened() && !HasAddress(devices, info.Address)) {
      devices.push_back(device);
    }
  }
  return devices;
}

IDevice* GetOrvaneDevice(uint32_t connectionType, const std::string& address) {
  auto& registry = OrvaneDeviceRegistry();
  const auto hold = registry.Hold();
  if (OrvaneIDevice* registered = registry.Find(address)) return registered;
  if (address.empty() && connectionType == kConnectionUsb) {
    const std::vector<IDevice*> listed = ListOrvaneDevices(kConnectionUsb);
    if (!listed.empty()) return listed.front();
  }
  return new OrvaneIDevice(connectionType, address);
}

void ForgetOrvaneDevice(const IDevice* device) { OrvaneDeviceRegistry().EraseDevice(device); }

const std::vector<uint32_t>& GetOrvaneConnectionTypes() {
  // Never destroyed: the Java VM's exit may run while its threads ask.
  static const auto* const types = new std::vector<uint32_t>{kConnectionUsb, kConnectionWebSocket, kConnectionSerial};
  return *types;
}

}  // namespace pelorixj
