// Messages of the reader: responses, notifications and file messages it
// sends, and the host's messages it receives.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim_packets.h"

namespace reader_sim {

// Inner parameters by their tag (0x81..0x9E, 0xA0..0xBE).
using InnerParameters = std::map<uint8_t, Bytes>;

constexpr uint16_t kEnvelopeType = 0xAA00;
enum MessageKind : uint8_t { kCommand = 1, kResponse = 2, kNotification = 3, kFile = 4 };

// The status pair of a response: travels as parameter 2, the operation status
// first, then the command status in three bytes.
struct Status {
  uint8_t operationStatus = 0;
  uint32_t commandStatus = 0;
};

Bytes BuildResponse(uint16_t commandCode, uint8_t sequence, Status status, const InnerParameters& parameters);
Bytes BuildNotification(uint16_t id, uint32_t code, const InnerParameters& parameters);
Bytes BuildFileMessage(uint16_t code, uint32_t fileId, const Bytes& payload);

// One TLV item (tag, BER length, value), for building nested parameter values.
Bytes Tlv(uint8_t tag, const Bytes& value);
Bytes Concat(std::initializer_list<Bytes> parts);
// The value in four bytes, most significant first.
Bytes BigEndian32(uint32_t value);
Bytes FromHex(const std::string& hex);
std::string ToHex(const Bytes& bytes);

// A message the reader received from the host.
struct ReceivedMessage {
  Bytes raw;
  std::chrono::steady_clock::time_point at;
  bool isFrame = false;  // a frame of type 0xAA00 or 0xAAFF with a parameter 1
  uint16_t frameType = 0;
  uint8_t kind = 0;      // low seven bits of parameter 1's first byte
  uint8_t sequence = 0;  // parameter 1, byte 1
  uint16_t commandCode = 0;
  InnerParameters inner;  // parameters of the inner frame in parameter 4

  bool IsCommand(uint16_t code) const { return isFrame && kind == kCommand && commandCode == code; }
  // Empty when absent.
  Bytes Inner(uint8_t tag) const;
};

ReceivedMessage ReadHostMessage(const Bytes& raw);
// The parameters of a frame by their tag; none for fewer than 3 bytes.
InnerParameters FrameParameters(const Bytes& frame);

}  // namespace reader_sim
