// The native objects that Java holds: devices and their control and
// configuration parts, each named by a handle. Handles come from one
// process-wide counter, starting at 1 and never handed out twice; 0 names
// nothing. Java treats them as opaque numbers.
//
// The table shares ownership of each device with the calls running on it: a
// call looks its handle up, holds what it gets until it returns, and a
// device taken out of the table is destroyed when the last such call lets go
// of it (through DestroyDevice, so never on a thread inside a listener). A handle that names no live object, or one of another kind, finds
// nothing and touches no memory.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "pelorixj/device/idevice.h"

namespace pelorixj {

using Handle = int64_t;

class LiveObjects {
 public:
  // Told when its device leaves the table, so that the family stops
  // finding it (its registry entry goes).
  using Forget = std::function<void(IDevice*)>;

  // The device's handle. A device that the table does not hold yet gets a
  // new one, and the table takes the device over: it deletes it once taken
  // out and no call holds it.
  Handle Adopt(IDevice* device, Forget forget);

  // The live object of the handle's kind; null for any other handle.
  std::shared_ptr<IDevice> Device(Handle handle) const;
  std::shared_ptr<IDeviceControl> Control(Handle handle) const;
  std::shared_ptr<IDeviceConfiguration> Configuration(Handle handle) const;

  // The handle of a part of a live device, the same at every call; 0 when
  // the device is no longer live or the part is null.
  Handle ControlHandle(Handle device, IDeviceControl* control);
  Handle ConfigurationHandle(Handle device, IDeviceConfiguration* configuration);

  // Takes the device and the handles of its parts out of the table and
  // tells its family; null when the handle names no live device.
  std::shared_ptr<IDevice> Remove(Handle device);

 private:
  enum class Kind { kDevice, kControl, kConfiguration };
  struct Entry {
    Kind kind;
    // The device itself, or the device that the part belongs to.
    std::shared_ptr<IDevice> device;
    void* object;
  };
  struct DeviceRecord {
    Handle device;
    Handle control = 0;
    Handle configuration = 0;
    Forget forget;
  };

  // The object of that kind, sharing the ownership of its device.
  template <class Object>
  std::shared_ptr<Object> Find(Handle handle, Kind kind) const;
  Handle PartHandle(Handle device, Kind kind, void* part);
  Handle NextHandleLocked() { return nextHandle_++; }

  mutable std::mutex mutex_;
  Handle nextHandle_ = 1;
  std::map<Handle, Entry> entries_;
  std::map<const IDevice*, DeviceRecord> devices_;
};

// The process's table: never destroyed, since native threads may still run
// calls while the process ends.
LiveObjects& Live();

}  // namespace pelorixj
