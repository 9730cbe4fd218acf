#include "quorlan/message/incoming_message.h"

#include <stdexcept>

#include "quorlan/message/command_envelope.h"

namespace quorlan {

OrvaneAPIFrameWork ParseIncomingFrame(const Bytes& bytes) {
  OrvaneAPIFrameWork frame = OrvaneAPIFrameWork::Parse(bytes);
  if (frame.type != kEnvelopeFrameTypeAlternate && frame.type != kEnvelopeFrameType) {
    throw std::runtime_error("Invalid frameword id");
  }
  return frame;
}

OrvaneAPIFrameWork InnerFrameOf(const Bytes& parameter4, FrameType typeWhenEmpty) {
  if (parameter4.empty()) return OrvaneAPIFrameWork(typeWhenEmpty);
  return OrvaneAPIFrameWork::Parse(parameter4);
}

}  // namespace quorlan
