// The devices that exist right now. Threads that outlive a call (status
// reports) ask here instead of reading a device that may be gone.
#pragma once

namespace quorlan {

void RegisterLiveDevice(const void* device);
void UnregisterLiveDevice(const void* device);
bool IsLiveDevice(const void* device);

}  // namespace quorlan
