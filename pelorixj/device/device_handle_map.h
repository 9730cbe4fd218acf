// Which control owns which Quorlan device handle, for the plain callbacks
// that Quorlan calls with nothing but the handle.
//
// A control registers its handle when it opens a device and drops it when
// it opens again, closes or is destroyed, so a report for a handle that is
// no longer registered (a late report of a closed device) finds nothing;
// Quorlan never hands out a handle twice. A call counts itself in flight
// while it runs; Forget waits until no call on another thread still runs
// with that control, never for one on its own thread (a handler may destroy
// its control from inside a call).
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "pelorixj/device/qrx_library.h"

namespace pelorixj {

class OrvaneIDeviceControl;

class DeviceHandleMap {
 public:
  // The handle becomes the control's only one.
  void Register(QrxHandle handle, OrvaneIDeviceControl* control);
  // Drops the handle, without waiting.
  void Unregister(QrxHandle handle);
  // Drops the control's handle and waits for its calls on other threads.
  void Forget(const OrvaneIDeviceControl* control);

  // Runs call(control) for the control registered under handle; nothing
  // when none is. Exceptions of call pass through.
  template <class Call>
  void With(QrxHandle handle, Call&& call) {
    OrvaneIDeviceControl* control = Enter(handle);
    if (control == nullptr) return;
    try {
      call(control);
    } catch (...) {
      Leave(control);
      throw;
    }
    Leave(control);
  }

 private:
  OrvaneIDeviceControl* Enter(QrxHandle handle);
  void Leave(const OrvaneIDeviceControl* control);
  void EraseLocked(const OrvaneIDeviceControl* control);

  std::mutex mutex_;
  std::condition_variable callEnded_;
  std::map<QrxHandle, OrvaneIDeviceControl*> controls_;
  std::vector<std::pair<std::thread::id, const OrvaneIDeviceControl*>> inFlight_;
};

// The process's map: never destroyed, since Quorlan's status threads may
// still report while the process ends.
DeviceHandleMap& OrvaneDeviceHandles();

}  // namespace pelorixj
