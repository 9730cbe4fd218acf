#include "pelorixj/core/device_families.h"

#include <array>

#include "pelorixj/brannet/brannet_devices.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/orvane_devices.h"

namespace pelorixj {
namespace {

const std::array<DeviceFamily, 2>& Families() {
  static const auto* const families = new std::array<DeviceFamily, 2>{{
      {kNewerPlatformDevice, {kConnectionUsb}, GetOrvaneConnectionTypes, ListOrvaneDevices, GetOrvaneDevice,
       ForgetOrvaneDevice},
      {kOlderFamilyDevice, {kConnectionUsb, kConnectionBle, kConnectionBleEmv, kConnectionBleEmvt},
       GetBrannetConnectionTypes, ListBrannetDevices, GetBrannetDevice, ForgetBrannetDevice},
  }};
  return *families;
}

}  // namespace

const DeviceFamily* FamilyOfType(uint32_t deviceType) {
  for (const DeviceFamily& family : Families()) {
    if (family.deviceType == deviceType) return &family;
  }
  return nullptr;
}

}  // namespace pelorixj
