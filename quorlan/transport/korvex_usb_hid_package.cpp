#include "quorlan/transport/korvex_usb_hid_package.h"

#include <cstring>

namespace quorlan {

void KorvexUSBHIDPackage::OnReceived(std::vector<uint8_t> block) {
  if (block.size() > 1) HandlePieces(block.data() + 1, block.size() - 1);
}

void KorvexUSBHIDPackage::WritePackets(const PacketStream& packets, const Writer& writer,
                                       const Progress& progress) {
  uint8_t report[kPacketSize + 1];
  for (size_t i = 0; i < packets.count; ++i) {
    const size_t length = packets.PacketLength(i);
    report[0] = reportId;
    std::memcpy(report + 1, packets.Packet(i), length);
    if (writer(report, static_cast<unsigned>(length + 1)) != 0) return;
    if (progress) progress(static_cast<double>(i + 1) / static_cast<double>(packets.count));
  }
}

}  // namespace quorlan
