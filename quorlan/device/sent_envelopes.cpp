#include "quorlan/device/sent_envelopes.h"

#include <algorithm>

namespace quorlan {

AnswerFit FitOf(const EnvelopeHeader& sent, const ResponseView& response) {
  if (sent.code != response.commandId) return AnswerFit::kNone;
  return sent.sequence == response.sequence ? AnswerFit::kCodeAndSequence : AnswerFit::kCode;
}

void SentEnvelopes::Note(const EnvelopeHeader& sent) {
  const auto end = sent_.begin() + count_;
  auto dropped = std::find_if(sent_.begin(), end, [&](const EnvelopeHeader& earlier) {
    return earlier.code == sent.code && earlier.sequence == sent.sequence;
  });
  if (dropped == end) {
    if (count_ < kCapacity) {
      sent_[count_++] = sent;
      return;
    }
    dropped = sent_.begin();
  }
  std::rotate(dropped, dropped + 1, end);
  *(end - 1) = sent;
}

AnswerFit SentEnvelopes::BestFit(const ResponseView& response) const {
  AnswerFit best = AnswerFit::kNone;
  for (size_t i = 0; i < count_; ++i) best = std::max(best, FitOf(sent_[i], response));
  return best;
}

}  // namespace quorlan
