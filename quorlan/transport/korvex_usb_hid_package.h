// The 64-byte packets inside USB HID reports: each written report is the
// report id followed by one packet, and each received report starts with its id.
#pragma once

#include "quorlan/transport/korvex_communication_package.h"

namespace quorlan {

class KorvexUSBHIDPackage : public KorvexCommunicationPackage {
 public:
  void OnReceived(std::vector<uint8_t> block) override;

  // Set by the device object when it opens a USB HID device.
  uint8_t reportId = 0;

 protected:
  // One report per packet; an empty writer throws std::bad_function_call.
  bool WritePackets(const uint8_t* message, size_t length, const Writer& writer, const Progress& progress) override;
};

}  // namespace quorlan
