#include "quorlan/transport/korvex_packet_format.h"

#include <algorithm>

namespace quorlan {
namespace {

uint8_t* PutBigEndian(uint8_t* out, uint32_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) *out++ = static_cast<uint8_t>(value >> shift);
  return out;
}

// Continuation packets of a message of more than 62 bytes.
size_t ContinuationCount(size_t length) { return (length - kStartPayloadSize - 1) / kContinuationPayloadSize; }

}  // namespace

size_t PacketStream::PacketLength(size_t index) const {
  return std::min(kPacketSize, bytes.size() - index * kPacketSize);
}

uint32_t ReadBigEndian(const uint8_t* data, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = value << 8 | data[i];
  return value;
}

size_t PacketCount(size_t length) { return length <= kSinglePacketLimit ? 1 : ContinuationCount(length) + 2; }

size_t WritePacket(const uint8_t* message, size_t length, size_t index, uint8_t* out) {
  if (length <= kSinglePacketLimit) {
    out[0] = kSinglePacket;
    out[1] = static_cast<uint8_t>(length);
    std::copy(message, message + length, out + 2);
    return 2 + length;
  }
  if (index == 0) {
    out[0] = kStartPacket;
    std::copy(message, message + kStartPayloadSize, PutBigEndian(out + 1, static_cast<uint32_t>(length), 4));
    return kPacketSize;
  }
  const size_t position = kStartPayloadSize + (index - 1) * kContinuationPayloadSize;
  if (index <= ContinuationCount(length)) {
    out[0] = kContinuationPacket;
    std::copy(message + position, message + position + kContinuationPayloadSize,
              PutBigEndian(out + 1, static_cast<uint16_t>(index), 2));
    return kPacketSize;
  }
  out[0] = kEndPacket;
  out[1] = static_cast<uint8_t>(length - position);
  std::copy(message + position, message + length, out + 2);
  return 2 + length - position;
}

PacketStream BuildPackets(const uint8_t* message, size_t length) {
  PacketStream stream;
  stream.count = PacketCount(length);
  stream.bytes.resize(stream.count * kPacketSize);
  size_t size = 0;
  for (size_t i = 0; i < stream.count; ++i) size += WritePacket(message, length, i, stream.bytes.data() + size);
  stream.bytes.resize(size);
  return stream;
}

}  // namespace quorlan
