// The devices that the interface has handed out, by handle. Handles count up
// and are never handed out twice in a process, so a stale handle finds no
// device rather than another one.
#pragma once

#include <cstdint>
#include <memory>

#include "quorlan/device/orvane_device.h"

namespace quorlan {

intptr_t AddDevice(std::shared_ptr<OrvaneDevice> device);
// The live device of a handle, kept alive by the pointer while an export
// runs on it; null for 0, -1 and every handle that is not live.
std::shared_ptr<OrvaneDevice> FindDevice(intptr_t handle);
// Takes the device out of the live set; null when the handle is not live.
std::shared_ptr<OrvaneDevice> RemoveDevice(intptr_t handle);

}  // namespace quorlan
