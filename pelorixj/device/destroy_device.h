// The end of a device that its owner has released. The device's destructor
// waits for what still runs with it on other threads (deliveries to its
// subscriber, callbacks of its library, closes handed off), which a thread
// inside a listener or callback must not wait for: there the destruction is
// handed off (hand_off.h).
#pragma once

#include "pelorixj/device/idevice.h"

namespace pelorixj {

// Destroys the device here, or on a thread of its own when this thread is
// inside a listener or callback. Null does nothing.
void DestroyDevice(IDevice* device);

}  // namespace pelorixj
