#include "pelorixj/brannet/live_brannet_devices.h"

#include <map>
#include <mutex>

#include "pelorixj/brannet/brannet_idevice.h"

namespace pelorixj {
namespace live_brannet_devices {
namespace {

struct LiveDevices {
  std::mutex mutex;
  // Keyed by the address that callers hold, the IDevice's.
  std::map<const IDevice*, BrannetIDevice*> devices;
};

// Never destroyed: devices may outlive the library's static objects.
LiveDevices& Live() {
  static auto* const live = new LiveDevices();
  return *live;
}

}  // namespace

void Add(BrannetIDevice* device) {
  std::lock_guard<std::mutex> lock(Live().mutex);
  Live().devices[device] = device;
}

void Remove(const BrannetIDevice* device) {
  std::lock_guard<std::mutex> lock(Live().mutex);
  Live().devices.erase(device);
}

bool Contains(const IDevice* device) {
  std::lock_guard<std::mutex> lock(Live().mutex);
  return Live().devices.count(device) != 0;
}

BrannetIDevice* Claim(const IDevice* device) {
  std::lock_guard<std::mutex> lock(Live().mutex);
  const auto found = Live().devices.find(device);
  if (found == Live().devices.end()) return nullptr;
  BrannetIDevice* claimed = found->second;
  Live().devices.erase(found);
  return claimed;
}

}  // namespace live_brannet_devices
}  // namespace pelorixj
