// The hidraw device list as sysfs describes it. The roots are arguments so
// that tests can point them at a tree of their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "quorlan/platform/hid.h"

namespace quorlan {
namespace platform {

// The HID keys of a HID device's uevent file.
struct HidUevent {
  uint16_t bus = 0;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  std::string name;    // HID_NAME
  std::string unique;  // HID_UNIQ: the serial number on USB
};

// Nullopt when HID_ID is missing or malformed.
std::optional<HidUevent> ParseHidUevent(const std::string& text);

// The devices under <sysfsRoot>/class/hidraw, ordered by hidraw number, with
// paths <devRoot>/hidraw<n>. False when that folder cannot be read.
bool ListHidrawDevices(const std::string& sysfsRoot, const std::string& devRoot,
                       std::vector<HidDeviceInfo>* devices);

}  // namespace platform
}  // namespace quorlan
