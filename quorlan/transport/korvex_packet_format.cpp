#include "quorlan/transport/korvex_packet_format.h"

#include <algorithm>

namespace quorlan {
namespace {

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

size_t PacketStream::PacketLength(size_t index) const {
  return std::min(kPacketSize, bytes.size() - index * kPacketSize);
}

uint32_t ReadBigEndian(const uint8_t* data, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = value << 8 | data[i];
  return value;
}

PacketStream BuildPackets(const uint8_t* message, size_t length) {
  PacketStream stream;
  auto& out = stream.bytes;
  if (length <= kSinglePacketLimit) {
    out.push_back(kSinglePacket);
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), message, message + length);
    stream.count = 1;
    return stream;
  }
  const size_t continuations = (length - kStartPayloadSize - 1) / kContinuationPayloadSize;
  out.reserve((continuations + 2) * kPacketSize);
  out.push_back(kStartPacket);
  PutBigEndian(out, static_cast<uint32_t>(length), 4);
  out.insert(out.end(), message, message + kStartPayloadSize);
  size_t position = kStartPayloadSize;
  uint16_t sequence = 1;
  while (position < length - kEndThreshold) {
    out.push_back(kContinuationPacket);
    PutBigEndian(out, sequence++, 2);
    out.insert(out.end(), message + position, message + position + kContinuationPayloadSize);
    position += kContinuationPayloadSize;
  }
  out.push_back(kEndPacket);
  out.push_back(static_cast<uint8_t>(length - position));
  out.insert(out.end(), message + position, message + length);
  stream.count = continuations + 2;
  return stream;
}

}  // namespace quorlan
