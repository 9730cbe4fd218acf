// Where the packets lie in the byte stream of a TCP link. The peer pads every
// packet to 64 bytes with zeros, so in step a packet starts every 64 bytes.
// Bytes that are no packet put the stream out of step; it is found again at
// the first position from which packets follow that fit together.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorlan {

// The message being rejoined, as far as the packets of the stream show it.
struct StreamExpectation {
  uint32_t announced = 0;  // 0 between messages
  uint32_t collected = 0;
  uint16_t nextSequence = 0;
};

// Whether a packet of 64 bytes (or the first length bytes of one, all that
// has come so far) is one the stream can carry next: a single packet or a
// start packet at any time, the awaited continuation or end packet of the
// message being rejoined. If so, the expectation moves on past it.
bool FitsNextPacket(const uint8_t* piece, size_t length, StreamExpectation* expectation);

enum class StepFit { kFits, kFollowerMisfits, kMisfit, kUndecided };

// Whether the 64 bytes at data (available bytes from there on) are the next
// packet of a stream in step; if they are (kFits, kFollowerMisfits), the
// expectation moves on past them. The bytes after them must fit as the start
// of the following packet, else kFollowerMisfits: either these bytes or those
// are stray, and stray bytes that merely look like a packet must not swallow
// the real packet that begins inside them. A start or continuation packet
// that ends the data, or one followed only by the head of padding, is
// kUndecided until more bytes come.
StepFit FitsInStep(const uint8_t* data, size_t available, StreamExpectation* expectation);

struct StreamStep {
  size_t position = 0;
  // False: more bytes must come to decide; position is where to go on then.
  bool found = false;
};

// The first position at or after from where packets that fit together
// follow: two of them, or (when acceptDataEnd) one or more that end exactly
// where the data ends. An empty single packet (padding) never marks the step.
StreamStep FindStreamStep(const uint8_t* data, size_t from, size_t size, const StreamExpectation& expectation,
                          bool acceptDataEnd = true);

}  // namespace quorlan
