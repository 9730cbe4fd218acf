#include "quorlan/capi/status_notifier.h"

#include <chrono>
#include <future>
#include <thread>

#include "quorlan/device/live_devices.h"

namespace quorlan {

OrvaneDevice::StatusCallback MakeStatusNotifier(QRX_DeviceStatusChangeCallback fn) {
  return [fn](OrvaneDevice* device, int status) {
    auto started = std::make_shared<std::promise<bool>>();
    std::future<bool> start = started->get_future();
    // Detached by design: the callback may outlive the device and even close
    // it; the thread touches only the caller's function and the live set.
    std::thread([fn, device, status, started] {
      if (fn == nullptr || device == nullptr || !IsLiveDevice(device)) return;
      started->set_value(true);
      try {
        fn(device, status);
      } catch (...) {
      }
    }).detach();
    start.wait_for(std::chrono::seconds(1));
  };
}

}  // namespace quorlan
