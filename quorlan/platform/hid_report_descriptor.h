// Reads report lengths out of a HID report descriptor, as the Windows HID
// parser states them in a device's capabilities.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "quorlan/platform/hid.h"

namespace quorlan {
namespace platform {

struct HidReportLayout {
  // Whether the device numbers its reports (has Report ID items).
  bool numbered = false;
  // Per report type the longest report in bytes plus the report id byte, or
  // 0 when the descriptor declares no report of that type.
  HidReportLengths lengths;
};

// Nullopt for a descriptor that is cut short, pops more global states than it
// pushed, or declares a report longer than any HID transport carries.
std::optional<HidReportLayout> ParseReportDescriptor(const uint8_t* descriptor, size_t length);

}  // namespace platform
}  // namespace quorlan
