#include "pelorixj/jni/core_backend.h"

#include <mutex>
#include <set>

#include "pelorixj/jni/connection_types.h"
#include "pelorixj/jni/device_families.h"
#include "pelorixj/jni/event_subscription.h"

namespace pelorixj {
namespace {

// The devices being released: a second release of one on another thread
// leaves it to the first.
class ReleaseClaims {
 public:
  // The device's family when the device is live and not claimed yet.
  const DeviceFamily* Claim(IDevice* device) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const DeviceFamily* family = FamilyOfDevice(device);
    if (family == nullptr || !claimed_.insert(device).second) return nullptr;
    return family;
  }

  void Drop(IDevice* device) {
    const std::lock_guard<std::mutex> lock(mutex_);
    claimed_.erase(device);
  }

 private:
  std::mutex mutex_;
  std::set<IDevice*> claimed_;
};

// Never destroyed: native threads may still release devices at exit.
ReleaseClaims& Claims() {
  static auto* const claims = new ReleaseClaims();
  return *claims;
}

void Append(std::vector<IDevice*>& devices, const std::vector<IDevice*>& more) {
  devices.insert(devices.end(), more.begin(), more.end());
}

}  // namespace

std::vector<IDevice*> GetDeviceList(const std::vector<uint32_t>& deviceTypes) {
  std::vector<IDevice*> devices;
  for (const uint32_t deviceType : deviceTypes) {
    const DeviceFamily* family = FamilyOfType(deviceType);
    if (family == nullptr) continue;
    for (const uint32_t connectionType : family->connectionTypes()) {
      if (IsEnumerable(deviceType, connectionType)) Append(devices, family->list(connectionType));
    }
  }
  return devices;
}

std::vector<IDevice*> GetDeviceListWithConnectionType(uint32_t deviceType, uint32_t connectionType) {
  const DeviceFamily* family = FamilyOfType(deviceType);
  return family == nullptr ? std::vector<IDevice*>() : family->list(connectionType);
}

IDevice* GetDevice(uint32_t deviceType, uint32_t connectionType, const std::string& address) {
  const DeviceFamily* family = FamilyOfType(deviceType);
  return family == nullptr ? nullptr : family->get(connectionType, address);
}

void ReleaseDevice(IDevice* device) {
  if (device == nullptr) return;
  const DeviceFamily* family = Claims().Claim(device);
  if (family == nullptr) return;
  try {
    device->Close();
    UnsubscribeListener(*device);
    family->release(device);
  } catch (...) {
    // The device stays as it is: destroying a device that failed to close
    // could leave its link calling into freed memory.
  }
  Claims().Drop(device);
}

}  // namespace pelorixj
