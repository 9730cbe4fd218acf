// The command envelope: frame type 0xAA00 carrying the kind, a sequence byte
// and the command code in parameter 1 and the command's own frame in parameter 4.
#pragma once

#include <cstdint>

#include "quorlan/message/message_frame.h"

namespace quorlan {

constexpr FrameType kEnvelopeFrameType = 0xAA00;

// One library-wide 8-bit counter; each draw returns the value and advances it.
uint8_t DrawCommandSequence();

class OrvaneCommand {
 public:
  // Draws one sequence number that goes nowhere; the wire carries the draw of Serialize.
  explicit OrvaneCommand(uint16_t commandCode);
  virtual ~OrvaneCommand() = default;

  // Draws a fresh sequence number on every call.
  virtual Bytes Serialize() const;

  uint16_t commandCode;
  OrvaneAPIFrameWork frame;
};

}  // namespace quorlan
