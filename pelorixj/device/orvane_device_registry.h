// The registry of devices of the newer platform, keyed by the text each was
// created with.
#pragma once

#include "pelorixj/device/device_registry.h"

namespace pelorixj {

class OrvaneIDevice;

// Built on first use and never destroyed.
DeviceRegistry<OrvaneIDevice>& OrvaneDeviceRegistry();

}  // namespace pelorixj
