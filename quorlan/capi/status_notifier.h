// Runs a caller's status-change callback on a thread of its own.
#pragma once

#include "quorlan/device/orvane_device.h"
#include "quorlan/qrx.h"

namespace quorlan {

// The device's status callback for the caller's function: each event starts
// a thread that calls fn(device, status) while the device still exists, and
// waits up to a second for that thread to start.
OrvaneDevice::StatusCallback MakeStatusNotifier(QRX_DeviceStatusChangeCallback fn);

}  // namespace quorlan
