#include "quorlan/message/incoming_message.h"

#include "quorlan/message/command_envelope.h"

namespace quorlan {

std::optional<OrvaneAPIFrameWork> ReadIncomingFrame(const Bytes& bytes, ParseFailure* failure) {
  auto frame = OrvaneAPIFrameWork::TryParse(bytes);
  if (!frame) return Fail(failure, {ParseFailure::Kind::kRuntime, "invalid data"});
  if (frame->type != kEnvelopeFrameTypeAlternate && frame->type != kEnvelopeFrameType) {
    return Fail(failure, {ParseFailure::Kind::kRuntime, "Invalid frameword id"});
  }
  return frame;
}

std::optional<EnvelopeHeader> ReadEnvelopeHeader(const Bytes& bytes) {
  const auto frame = ReadIncomingFrame(bytes, nullptr);
  if (!frame) return std::nullopt;
  const Bytes header = frame->GetParameter(1);
  if (header.size() < 4) return std::nullopt;
  return EnvelopeHeader{MessageKindOf(header), header[1], BigEndian16(header, 2)};
}

std::optional<OrvaneAPIFrameWork> ReadInnerFrame(const Bytes& parameter4, FrameType typeWhenEmpty,
                                                 ParseFailure* failure) {
  if (parameter4.empty()) return OrvaneAPIFrameWork(typeWhenEmpty);
  auto frame = OrvaneAPIFrameWork::TryParse(parameter4);
  if (!frame) return Fail(failure, {ParseFailure::Kind::kRuntime, "invalid data"});
  return frame;
}

}  // namespace quorlan
