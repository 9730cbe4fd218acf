#include "pelorixj/core/core_backend.h"

#include <memory>
#include <mutex>

#include "pelorixj/core/connection_types.h"
#include "pelorixj/core/device_families.h"
#include "pelorixj/core/subscriptions.h"

namespace pelorixj {
namespace {

// Held while a family hands out devices and they are adopted, and while a
// released device leaves the table and its family's registry, so that no
// listing hands out a device that a release is taking away. Nothing waits
// for a device while holding it. Never destroyed: native threads may still
// release devices at exit.
std::mutex& DeviceLifecycle() {
  static auto* const mutex = new std::mutex();
  return *mutex;
}

void Adopt(const DeviceFamily& family, const std::vector<IDevice*>& devices, std::vector<Handle>& handles) {
  for (IDevice* device : devices) handles.push_back(Live().Adopt(device, family.forget));
}

}  // namespace

std::vector<Handle> GetDeviceList(const std::vector<uint32_t>& deviceTypes) {
  std::vector<Handle> handles;
  const std::lock_guard<std::mutex> lock(DeviceLifecycle());
  for (const uint32_t deviceType : deviceTypes) {
    const DeviceFamily* family = FamilyOfType(deviceType);
    if (family == nullptr) continue;
    for (const uint32_t connectionType : family->connectionTypes()) {
      if (IsEnumerable(deviceType, connectionType)) Adopt(*family, family->list(connectionType), handles);
    }
  }
  return handles;
}

std::vector<Handle> GetDeviceListWithConnectionType(uint32_t deviceType, uint32_t connectionType) {
  std::vector<Handle> handles;
  const DeviceFamily* family = FamilyOfType(deviceType);
  if (family == nullptr) return handles;
  const std::lock_guard<std::mutex> lock(DeviceLifecycle());
  Adopt(*family, family->list(connectionType), handles);
  return handles;
}

Handle GetDevice(uint32_t deviceType, uint32_t connectionType, const std::string& address) {
  const DeviceFamily* family = FamilyOfType(deviceType);
  if (family == nullptr) return 0;
  const std::lock_guard<std::mutex> lock(DeviceLifecycle());
  return Live().Adopt(family->get(connectionType, address), family->forget);
}

void ReleaseDevice(Handle handle) {
  try {
    const std::shared_ptr<IDevice> device = Live().Device(handle);
    if (!device) return;
    // A device that fails to close stays live: destroying it could leave
    // its link calling into freed memory.
    device->Close();
    std::shared_ptr<IDevice> removed;
    {
      const std::lock_guard<std::mutex> lock(DeviceLifecycle());
      removed = Live().Remove(handle);
    }
    // Another thread's release took it out first.
    if (!removed) return;
    Unsubscribe(*removed);
  } catch (...) {
  }
}

}  // namespace pelorixj
