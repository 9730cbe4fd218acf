#include "quorlan/transport/korvex_stream_step.h"

#include <algorithm>
#include <optional>

#include "quorlan/transport/korvex_packet_format.h"

namespace quorlan {
namespace {

// Packets in a row that settle where the step lies; out of step, a window of
// 64 bytes seldom fits and two in a row hardly ever.
constexpr int kPacketsToConfirm = 2;

bool IsPadding(const uint8_t* from, const uint8_t* end) {
  return std::all_of(from, end, [](uint8_t byte) { return byte == 0; });
}

}  // namespace

bool FitsNextPacket(const uint8_t* piece, size_t length, StreamExpectation* expectation) {
  StreamExpectation& next = *expectation;
  const uint8_t* end = piece + length;
  // A field counts once all of its bytes are there.
  const auto has = [&](size_t bytes) { return length >= bytes; };
  switch (piece[0]) {
    case kSinglePacket:
      return !has(2) || (piece[1] <= kSinglePacketLimit && IsPadding(std::min(piece + 2 + piece[1], end), end));
    case kStartPacket: {
      const uint32_t total = has(5) ? ReadBigEndian(piece + 1, 4) : kMaxMessageLength;
      if (total <= kSinglePacketLimit || total > kMaxMessageLength) return false;
      next = {total, static_cast<uint32_t>(kStartPayloadSize), 1};
      return true;
    }
    case kContinuationPacket:
      if (next.announced == 0 || next.announced - next.collected <= kEndThreshold ||
          (has(3) && ReadBigEndian(piece + 1, 2) != next.nextSequence)) {
        return false;
      }
      next.collected += kContinuationPayloadSize;
      ++next.nextSequence;
      return true;
    case kEndPacket:
      if (next.announced == 0 || next.announced - next.collected > kEndThreshold) return false;
      if (has(2) && (next.collected + piece[1] != next.announced ||
                     !IsPadding(std::min(piece + 2 + piece[1], end), end))) {
        return false;
      }
      next = {};
      return true;
    default:
      return false;
  }
}

StepFit FitsInStep(const uint8_t* data, size_t available, StreamExpectation* expectation) {
  StreamExpectation next = *expectation;
  if (!FitsNextPacket(data, kPacketSize, &next)) return StepFit::kMisfit;
  const uint8_t* after = data + kPacketSize;
  const size_t following = std::min(available - kPacketSize, kPacketSize);
  if (following > 0) {
    StreamExpectation afterNext = next;
    if (!FitsNextPacket(after, following, &afterNext)) {
      *expectation = next;
      return StepFit::kFollowerMisfits;
    }
    // The head of padding confirms nothing: it follows any packet.
    if (following < kPacketSize && after[0] == kSinglePacket && (following < 2 || after[1] == 0)) {
      return StepFit::kUndecided;
    }
  } else if (data[0] == kStartPacket || data[0] == kContinuationPacket) {
    return StepFit::kUndecided;
  }
  *expectation = next;
  return StepFit::kFits;
}

StreamStep FindStreamStep(const uint8_t* data, size_t from, size_t size, const StreamExpectation& expectation,
                          bool acceptDataEnd) {
  std::optional<size_t> undecided;
  for (size_t position = from; size - position >= kPacketSize; ++position) {
    if (data[position] == kSinglePacket && data[position + 1] == 0) continue;
    StreamExpectation next = expectation;
    size_t end = position;
    int fitted = 0;
    while (fitted < kPacketsToConfirm && size - end >= kPacketSize && FitsNextPacket(data + end, kPacketSize, &next)) {
      end += kPacketSize;
      ++fitted;
    }
    if (fitted == kPacketsToConfirm || (acceptDataEnd && fitted > 0 && end == size)) return {position, true};
    if (fitted > 0 && size - end < kPacketSize && !undecided) undecided = position;
  }
  // Positions with fewer than 64 bytes behind them are open as well.
  const size_t open = size - from >= kPacketSize ? size - (kPacketSize - 1) : from;
  return {undecided.value_or(open), false};
}

}  // namespace quorlan
