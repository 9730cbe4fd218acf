#include "quorlan/capi/device_handles.h"

#include <mutex>
#include <unordered_map>

namespace quorlan {
namespace {

struct Registry {
  std::mutex mutex;
  uintptr_t next = 1;
  std::unordered_map<intptr_t, std::shared_ptr<OrvaneDevice>> devices;
};

// Never destroyed: a device left open must not be torn down while the
// process exits and other threads may still call in.
Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

}  // namespace

intptr_t AddDevice(std::shared_ptr<OrvaneDevice> device) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  const auto handle = static_cast<intptr_t>(registry.next++);
  registry.devices.emplace(handle, std::move(device));
  return handle;
}

std::shared_ptr<OrvaneDevice> FindDevice(intptr_t handle) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto found = registry.devices.find(handle);
  return found == registry.devices.end() ? nullptr : found->second;
}

std::shared_ptr<OrvaneDevice> RemoveDevice(intptr_t handle) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto found = registry.devices.find(handle);
  if (found == registry.devices.end()) return nullptr;
  auto device = std::move(found->second);
  registry.devices.erase(found);
  return device;
}

}  // namespace quorlan
