// The devices of the older family that exist, so that a release of a device
// that was released already (the Java side holds raw addresses) is ignored
// instead of freeing it again.
#pragma once

namespace pelorixj {

class BrannetIDevice;
class IDevice;

namespace live_brannet_devices {

void Add(BrannetIDevice* device);
void Remove(const BrannetIDevice* device);
bool Contains(const IDevice* device);
// Removes the device and returns it; null when it is not live, also when
// another thread claimed it first.
BrannetIDevice* Claim(const IDevice* device);

}  // namespace live_brannet_devices
}  // namespace pelorixj
