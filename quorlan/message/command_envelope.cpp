#include "quorlan/message/command_envelope.h"

#include <atomic>

#include "quorlan/message/incoming_message.h"

namespace quorlan {
namespace {

std::atomic<uint8_t> commandSequenceCounter{0};

}  // namespace

uint8_t DrawCommandSequence() { return commandSequenceCounter.fetch_add(1); }

OrvaneCommand::OrvaneCommand(uint16_t commandCode) : commandCode(commandCode), frame(commandCode) {
  DrawCommandSequence();
}

// The envelope with parameters 1 and 4, the inner frame written straight
// into it: a command may carry megabytes.
Bytes OrvaneCommand::Serialize() const {
  const uint8_t sequence = DrawCommandSequence();
  const uint8_t header[] = {kMessageKindCommand, sequence, static_cast<uint8_t>(commandCode >> 8),
                            static_cast<uint8_t>(commandCode & 0xFF)};
  const size_t innerSize = frame.SerializedSize();
  Bytes out;
  out.reserve(2 + TlvHeaderSize(sizeof header) + sizeof header + TlvHeaderSize(innerSize) + innerSize);
  out.push_back(static_cast<uint8_t>(kEnvelopeFrameType >> 8));
  out.push_back(static_cast<uint8_t>(kEnvelopeFrameType & 0xFF));
  AppendTlvHeader(out, TagOfParameterKey(1), sizeof header);
  out.insert(out.end(), header, header + sizeof header);
  AppendTlvHeader(out, TagOfParameterKey(4), innerSize);
  frame.AppendTo(out);
  return out;
}

}  // namespace quorlan
