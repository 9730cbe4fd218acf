// What the messages share: the envelope frame types a reader may send and
// the header in parameter 1.
#pragma once

#include <cstdint>
#include <optional>

#include "quorlan/message/message_frame.h"
#include "quorlan/message/parse_failure.h"

namespace quorlan {

constexpr FrameType kEnvelopeFrameTypeAlternate = 0xAAFF;

constexpr uint8_t kMessageKindCommand = 1;
constexpr uint8_t kMessageKindResponse = 2;
constexpr uint8_t kMessageKindNotification = 3;
constexpr uint8_t kMessageKindFile = 4;

// The frame of a received message, read in place; nothing for fewer than 3
// bytes ("invalid data") and for a type other than 0xAAFF and 0xAA00
// ("Invalid frameword id").
std::optional<FrameView> ReadIncomingFrame(ByteView bytes, ParseFailure* failure);

// The low seven bits of the first byte of a non-empty parameter 1.
inline uint8_t MessageKindOf(ByteView parameter1) { return parameter1[0] & 0x7F; }

// The frame carried in parameter 4, or an empty frame of the given type when
// parameter 4 is empty; nothing for 1 or 2 bytes ("invalid data").
std::optional<FrameView> ReadInnerFrame(ByteView parameter4, FrameType typeWhenEmpty, ParseFailure* failure);
// The same, as a frame of its own.
std::optional<OrvaneAPIFrameWork> CopyInnerFrame(ByteView parameter4, FrameType typeWhenEmpty);

// Parameter 1's first four bytes: the kind, a sequence byte and a 16-bit code
// (a command's code, the command id of a response, a notification's id).
struct EnvelopeHeader {
  uint8_t kind = 0;
  uint8_t sequence = 0;
  uint16_t code = 0;
};

// The header of an envelope frame (type 0xAA00 or 0xAAFF) whose parameter 1
// holds at least 4 bytes; nothing for any other bytes.
std::optional<EnvelopeHeader> ReadEnvelopeHeader(ByteView bytes);

// Big-endian 16-bit number at bytes[at], bytes[at + 1].
inline uint16_t BigEndian16(ByteView bytes, size_t at) { return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]); }

}  // namespace quorlan
