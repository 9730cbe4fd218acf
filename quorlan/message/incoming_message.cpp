#include "quorlan/message/incoming_message.h"

#include "quorlan/message/command_envelope.h"

namespace quorlan {

std::optional<FrameView> ReadIncomingFrame(ByteView bytes, ParseFailure* failure) {
  auto frame = FrameView::Read(bytes);
  if (!frame) return Fail(failure, {ParseFailure::Kind::kRuntime, "invalid data"});
  if (frame->type != kEnvelopeFrameTypeAlternate && frame->type != kEnvelopeFrameType) {
    return Fail(failure, {ParseFailure::Kind::kRuntime, "Invalid frameword id"});
  }
  return frame;
}

std::optional<EnvelopeHeader> ReadEnvelopeHeader(ByteView bytes) {
  const auto frame = ReadIncomingFrame(bytes, nullptr);
  if (!frame) return std::nullopt;
  const ByteView header = frame->Parameter(1);
  if (header.size < 4) return std::nullopt;
  return EnvelopeHeader{MessageKindOf(header), header[1], BigEndian16(header, 2)};
}

std::optional<FrameView> ReadInnerFrame(ByteView parameter4, FrameType typeWhenEmpty, ParseFailure* failure) {
  if (parameter4.empty()) return FrameView(typeWhenEmpty);
  auto frame = FrameView::Read(parameter4);
  if (!frame) return Fail(failure, {ParseFailure::Kind::kRuntime, "invalid data"});
  return frame;
}

std::optional<OrvaneAPIFrameWork> CopyInnerFrame(ByteView parameter4, FrameType typeWhenEmpty) {
  if (parameter4.empty()) return OrvaneAPIFrameWork(typeWhenEmpty);
  return OrvaneAPIFrameWork::TryParse(parameter4);
}

}  // namespace quorlan
