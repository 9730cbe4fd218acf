#include "pelorixj/device/device_handle_map.h"

#include <algorithm>

namespace pelorixj {

void DeviceHandleMap::Register(QrxHandle handle, OrvaneIDeviceControl* control) {
  std::lock_guard<std::mutex> lock(mutex_);
  EraseLocked(control);
  controls_[handle] = control;
}

void DeviceHandleMap::Unregister(QrxHandle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  controls_.erase(handle);
}

void DeviceHandleMap::Forget(const OrvaneIDeviceControl* control) {
  std::unique_lock<std::mutex> lock(mutex_);
  EraseLocked(control);
  const auto self = std::this_thread::get_id();
  callEnded_.wait(lock, [&] {
    return std::none_of(inFlight_.begin(), inFlight_.end(),
                        [&](const auto& call) { return call.second == control && call.first != self; });
  });
}

OrvaneIDeviceControl* DeviceHandleMap::Enter(QrxHandle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = controls_.find(handle);
  if (found == controls_.end()) return nullptr;
  inFlight_.emplace_back(std::this_thread::get_id(), found->second);
  return found->second;
}

void DeviceHandleMap::Leave(const OrvaneIDeviceControl* control) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto call = std::find(inFlight_.begin(), inFlight_.end(), std::make_pair(std::this_thread::get_id(), control));
  if (call != inFlight_.end()) inFlight_.erase(call);
  callEnded_.notify_all();
}

void DeviceHandleMap::EraseLocked(const OrvaneIDeviceControl* control) {
  for (auto it = controls_.begin(); it != controls_.end();) {
    it = it->second == control ? controls_.erase(it) : std::next(it);
  }
}

DeviceHandleMap& OrvaneDeviceHandles() {
  static auto* const map = new DeviceHandleMap();
  return *map;
}

}  // namespace pelorixj
