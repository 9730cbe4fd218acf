#include "quorlan/device/live_devices.h"

#include <mutex>
#include <unordered_set>

namespace quorlan {
namespace {

struct Registry {
  std::mutex mutex;
  std::unordered_set<const void*> devices;
};

// Never destroyed: detached status threads may still ask while the process exits.
Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

}  // namespace

void RegisterLiveDevice(const void* device) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.devices.insert(device);
}

void UnregisterLiveDevice(const void* device) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.devices.erase(device);
}

bool IsLiveDevice(const void* device) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  return registry.devices.count(device) != 0;
}

}  // namespace quorlan
