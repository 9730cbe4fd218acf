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

std::optional<EnvelopeHeader> ReadEnvelopeHeader(const Bytes& bytes) {
  if (bytes.size() < 3) return std::nullopt;
  const OrvaneAPIFrameWork frame = OrvaneAPIFrameWork::Parse(bytes);
  if (frame.type != kEnvelopeFrameTypeAlternate && frame.type != kEnvelopeFrameType) return std::nullopt;
  const Bytes header = frame.GetParameter(1);
  if (header.size() < 4) return std::nullopt;
  return EnvelopeHeader{MessageKindOf(header), header[1], BigEndian16(header, 2)};
}

OrvaneAPIFrameWork InnerFrameOf(const Bytes& parameter4, FrameType typeWhenEmpty) {
  if (parameter4.empty()) return OrvaneAPIFrameWork(typeWhenEmpty);
  return OrvaneAPIFrameWork::Parse(parameter4);
}

}  // namespace quorlan
