#include "quorlan/transport/korvex_usb_hid_package.h"

namespace quorlan {

void KorvexUSBHIDPackage::OnReceived(std::vector<uint8_t> block) {
  if (block.size() > 1) HandlePieces(block.data() + 1, block.size() - 1);
}

bool KorvexUSBHIDPackage::WritePackets(const uint8_t* message, size_t length, const Writer& writer,
                                       const Progress& progress) {
  const size_t count = PacketCount(length);
  uint8_t report[kPacketSize + 1];
  for (size_t i = 0; i < count; ++i) {
    report[0] = reportId;
    const size_t packetLength = WritePacket(message, length, i, report + 1);
    if (writer(report, static_cast<unsigned>(packetLength + 1)) != 0) return false;
    if (progress) progress(static_cast<double>(i + 1) / static_cast<double>(count));
  }
  return true;
}

}  // namespace quorlan
