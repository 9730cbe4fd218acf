// The device list text: the entries of every reader a device type lists.
#pragma once

#include <string>

#include "quorlan/device/orvane_device.h"

namespace quorlan {

// "[" + the entries joined by "," + "]", in enumeration order; "[]" when the
// type lists no reader.
std::string DeviceListJson(OrvaneDevice& lister);

}  // namespace quorlan
