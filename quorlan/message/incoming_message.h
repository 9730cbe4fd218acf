// What responses, notifications and file messages share: the envelope frame
// types a reader may send and the message kind in parameter 1.
#pragma once

#include <cstdint>

#include "quorlan/message/message_frame.h"

namespace quorlan {

constexpr FrameType kEnvelopeFrameTypeAlternate = 0xAAFF;

constexpr uint8_t kMessageKindResponse = 2;
constexpr uint8_t kMessageKindNotification = 3;
constexpr uint8_t kMessageKindFile = 4;

// The frame of a received message. Throws std::runtime_error "invalid data"
// for fewer than 3 bytes and "Invalid frameword id" for a type other than
// 0xAAFF and 0xAA00.
OrvaneAPIFrameWork ParseIncomingFrame(const Bytes& bytes);

// The low seven bits of the first byte of a non-empty parameter 1.
inline uint8_t MessageKindOf(const Bytes& parameter1) { return parameter1.at(0) & 0x7F; }

// The frame carried in parameter 4, or an empty frame of the given type when
// parameter 4 is empty. Throws "invalid data" for 1 or 2 bytes.
OrvaneAPIFrameWork InnerFrameOf(const Bytes& parameter4, FrameType typeWhenEmpty);

// Big-endian 16-bit number at bytes[at], bytes[at + 1].
inline uint16_t BigEndian16(const Bytes& bytes, size_t at) {
  return static_cast<uint16_t>(bytes.at(at) << 8 | bytes.at(at + 1));
}

}  // namespace quorlan
