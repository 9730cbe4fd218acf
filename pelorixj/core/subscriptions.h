// Ending a device's subscription, for the core API and the Java wrapper alike.
#pragma once

#include "pelorixj/device/idevice.h"

namespace pelorixj {

// Drops the device's subscriber and clears the user-data word that names it.
// The device's result.
bool Unsubscribe(IDevice& device);

}  // namespace pelorixj
