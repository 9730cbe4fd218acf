#include "pelorixj/device/destroy_device.h"

#include "pelorixj/device/delivering_thread.h"
#include "pelorixj/device/hand_off.h"

namespace pelorixj {

void DestroyDevice(IDevice* device) {
  if (device == nullptr) return;
  if (ThisThreadDelivers()) {
    HandOff([device] { delete device; });
  } else {
    delete device;
  }
}

}  // namespace pelorixj
