// The registry of devices of the older family, keyed by upper-cased address.
#pragma once

#include "pelorixj/device/device_registry.h"

namespace pelorixj {

class BrannetIDevice;

// Built on first use and never destroyed.
DeviceRegistry<BrannetIDevice>& BrannetDeviceRegistry();

}  // namespace pelorixj
