// Runs a caller's status-change callback on a thread of its own.
#pragma once

#include <cstdint>
#include <memory>

#include "quorlan/device/orvane_device.h"
#include "quorlan/qrx.h"

namespace quorlan {

// The device's status callback for the caller's function: each event starts
// a thread that calls fn(handle, status) while the device still exists, and
// waits up to a second for that thread to start. Nothing for a null fn.
OrvaneDevice::StatusCallback MakeStatusNotifier(QRX_DeviceStatusChangeCallback fn, intptr_t handle,
                                                std::weak_ptr<OrvaneDevice> device);

}  // namespace quorlan
