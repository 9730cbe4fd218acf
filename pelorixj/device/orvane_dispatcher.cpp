#include "pelorixj/device/orvane_idevice.h"

namespace pelorixj {

void OrvaneIDevice::OnDataArrive(std::string) {}

}  // namespace pelorixj
