// What a device remembers of the envelopes it sent: the last ones, each code
// and sequence byte once.
#include "quorlan/device/sent_envelopes.h"

#include <gtest/gtest.h>

namespace quorlan {
namespace {

EnvelopeHeader Sent(uint16_t code, uint8_t sequence) { return {kMessageKindCommand, sequence, code}; }

TEST(SentEnvelopes, KeepsTheLastOnesEachOnce) {
  SentEnvelopes sent;
  sent.Note(Sent(0x7000, 1));
  for (uint16_t code = 0x7001; code < 0x7000 + SentEnvelopes::kCapacity; ++code) {
    sent.Note(Sent(code, 1));
    sent.Note(Sent(0x7000, 1));
  }
  sent.Note(Sent(0x7100, 1));  // full: the oldest, 7001, drops out
  const struct {
    uint16_t code;
    uint8_t sequence;
    AnswerFit fit;
  } rows[] = {
      {0x7000, 1, AnswerFit::kCodeAndSequence}, {0x7000, 2, AnswerFit::kCode},
      {0x7001, 1, AnswerFit::kNone},            {0x7002, 1, AnswerFit::kCodeAndSequence},
      {0x7100, 1, AnswerFit::kCodeAndSequence}, {0x7200, 1, AnswerFit::kNone},
  };
  for (const auto& row : rows) {
    ResponseView response;
    response.commandId = row.code;
    response.sequence = row.sequence;
    EXPECT_EQ(sent.BestFit(response), row.fit) << std::hex << row.code << " " << int{row.sequence};
  }
}

}  // namespace
}  // namespace quorlan
