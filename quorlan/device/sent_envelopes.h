// What a device remembers of the envelopes it sent, so that a response that
// comes after its wait has ended is known as an answer and taken by no other
// wait.
#pragma once

#include <array>
#include <cstddef>

#include "quorlan/message/incoming_message.h"
#include "quorlan/message/response.h"

namespace quorlan {

// How well a response answers an envelope sent. Readers echo the code and
// the sequence byte of what they answer; one that echoes another sequence
// byte is still known by the code.
enum class AnswerFit { kNone, kCode, kCodeAndSequence };

AnswerFit FitOf(const EnvelopeHeader& sent, const ResponseView& response);

// The envelopes sent last, each code and sequence byte once, newest last.
// Fixed in size, however long the device sends.
class SentEnvelopes {
 public:
  static constexpr size_t kCapacity = 32;

  // Makes the envelope the newest; the oldest drops out when full.
  void Note(const EnvelopeHeader& sent);
  AnswerFit BestFit(const ResponseView& response) const;

 private:
  std::array<EnvelopeHeader, kCapacity> sent_{};
  size_t count_ = 0;
};

}  // namespace quorlan
