// The packets of at most 64 bytes that carry one message over USB HID and TCP:
// single [0x00][n][n bytes], start [0x01][total, 4 bytes BE][59 bytes],
// continuation [0x02][sequence, 2 bytes BE, from 1][61 bytes], end [0x03][n][n bytes].
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorlan {

constexpr size_t kPacketSize = 64;
constexpr size_t kSinglePacketLimit = 62;
constexpr size_t kStartPayloadSize = 59;
constexpr size_t kContinuationPayloadSize = 61;
// Continuation packets go out while more than this many bytes remain.
constexpr size_t kEndThreshold = 61;
// The longest message that 16-bit continuation numbers can carry.
constexpr uint32_t kMaxMessageLength = kStartPayloadSize + 0xFFFF * kContinuationPayloadSize + kEndThreshold;

enum PacketKind : uint8_t {
  kSinglePacket = 0x00,
  kStartPacket = 0x01,
  kContinuationPacket = 0x02,
  kEndPacket = 0x03,
};

// The packets of one message, back to back. Only the last packet may be
// shorter than 64 bytes, so packet i starts at byte 64 * i.
struct PacketStream {
  std::vector<uint8_t> bytes;
  size_t count = 0;

  const uint8_t* Packet(size_t index) const { return bytes.data() + index * kPacketSize; }
  size_t PacketLength(size_t index) const;
};

PacketStream BuildPackets(const uint8_t* message, size_t length);

size_t PacketCount(size_t length);
// Writes packet `index` of the message to out, which has room for 64 bytes,
// and returns its length.
size_t WritePacket(const uint8_t* message, size_t length, size_t index, uint8_t* out);

// The big-endian number in the given count of bytes (at most 4) at data.
uint32_t ReadBigEndian(const uint8_t* data, int bytes);

}  // namespace quorlan
