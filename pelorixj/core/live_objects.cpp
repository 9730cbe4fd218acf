#include "pelorixj/core/live_objects.h"

#include <utility>

#include "pelorixj/device/destroy_device.h"

namespace pelorixj {

Handle LiveObjects::Adopt(IDevice* device, Forget forget) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto known = devices_.find(device);
  if (known != devices_.end()) return known->second.device;
  const Handle handle = NextHandleLocked();
  entries_.emplace(handle, Entry{Kind::kDevice, std::shared_ptr<IDevice>(device, DestroyDevice), device});
  devices_.emplace(device, DeviceRecord{handle, 0, 0, std::move(forget)});
  return handle;
}

template <class Object>
std::shared_ptr<Object> LiveObjects::Find(Handle handle, Kind kind) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = entries_.find(handle);
  if (found == entries_.end() || found->second.kind != kind) return nullptr;
  // Shares the device's ownership, whichever part it names.
  return std::shared_ptr<Object>(found->second.device, static_cast<Object*>(found->second.object));
}

std::shared_ptr<IDevice> LiveObjects::Device(Handle handle) const { return Find<IDevice>(handle, Kind::kDevice); }

std::shared_ptr<IDeviceControl> LiveObjects::Control(Handle handle) const {
  return Find<IDeviceControl>(handle, Kind::kControl);
}

std::shared_ptr<IDeviceConfiguration> LiveObjects::Configuration(Handle handle) const {
  return Find<IDeviceConfiguration>(handle, Kind::kConfiguration);
}

Handle LiveObjects::PartHandle(Handle device, Kind kind, void* part) {
  if (part == nullptr) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = entries_.find(device);
  if (found == entries_.end() || found->second.kind != Kind::kDevice) return 0;
  DeviceRecord& record = devices_.at(found->second.device.get());
  Handle& handle = kind == Kind::kControl ? record.control : record.configuration;
  if (handle == 0) {
    handle = NextHandleLocked();
    entries_.emplace(handle, Entry{kind, found->second.device, part});
  }
  return handle;
}

Handle LiveObjects::ControlHandle(Handle device, IDeviceControl* control) {
  return PartHandle(device, Kind::kControl, control);
}

Handle LiveObjects::ConfigurationHandle(Handle device, IDeviceConfiguration* configuration) {
  return PartHandle(device, Kind::kConfiguration, configuration);
}

std::shared_ptr<IDevice> LiveObjects::Remove(Handle device) {
  std::shared_ptr<IDevice> removed;
  Forget forget;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = entries_.find(device);
    if (found == entries_.end() || found->second.kind != Kind::kDevice) return nullptr;
    removed = std::move(found->second.device);
    const auto record = devices_.find(removed.get());
    for (const Handle handle : {record->second.device, record->second.control, record->second.configuration}) {
      entries_.erase(handle);
    }
    forget = std::move(record->second.forget);
    devices_.erase(record);
  }
  if (forget) forget(removed.get());
  return removed;
}

LiveObjects& Live() {
  static auto* const live = new LiveObjects();
  return *live;
}

}  // namespace pelorixj
