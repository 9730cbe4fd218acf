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

Bytes OrvaneCommand::Serialize() const {
  OrvaneAPIFrameWork envelope(kEnvelopeFrameType);
  uint8_t sequence = DrawCommandSequence();
  envelope.SetParameter(1, {kMessageKindCommand, sequence, static_cast<uint8_t>(commandCode >> 8),
                            static_cast<uint8_t>(commandCode & 0xFF)});
  envelope.SetParameter(4, frame.Serialize());
  return envelope.Serialize();
}

}  // namespace quorlan
