#include "quorlan/capi/status_notifier.h"

#include <chrono>
#include <future>
#include <system_error>
#include <thread>

namespace quorlan {

OrvaneDevice::StatusCallback MakeStatusNotifier(QRX_DeviceStatusChangeCallback fn, intptr_t handle,
                                                std::weak_ptr<OrvaneDevice> device) {
  if (fn == nullptr) return nullptr;
  return [fn, handle, device](OrvaneDevice*, int status) {
    auto started = std::make_shared<std::promise<bool>>();
    std::future<bool> start = started->get_future();
    // Detached by design: the callback may outlive the device and even close
    // it; the thread touches only the caller's function and the weak pointer.
    try {
      std::thread([fn, handle, device, status, started] {
        // Read while the notifier still waits, so that a closing device,
        // which its closer holds until then, is still seen alive; signalled
        // on every path, so that no event keeps its notifier waiting.
        const bool live = !device.expired();
        started->set_value(true);
        if (!live) return;
        try {
          fn(reinterpret_cast<void*>(handle), status);
        } catch (...) {
        }
      }).detach();
    } catch (const std::system_error&) {
      return;  // No thread to be had: the event is not reported.
    }
    start.wait_for(std::chrono::seconds(1));
  };
}

}  // namespace quorlan
