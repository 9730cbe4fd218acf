// The reader's side of the serial framing, written apart from the library's
// own so that a fault in one is not hidden by the same fault in the other.
#pragma once

#include <cstdint>
#include <vector>

namespace quorlan {
namespace testing {

// A frame as the reader sends it: [kind][value, 4 bytes big-endian][payload],
// escaped with every escape the reader may use (0x11 and 0x13 included).
inline std::vector<uint8_t> ReaderFrame(uint8_t kind, uint32_t value, const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> content{kind, static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                               static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  content.insert(content.end(), payload.begin(), payload.end());
  std::vector<uint8_t> wire{0xC0};
  for (uint8_t byte : content) {
    switch (byte) {
      case 0xC0: wire.insert(wire.end(), {0xDB, 0xDC}); break;
      case 0xDB: wire.insert(wire.end(), {0xDB, 0xDD}); break;
      case 0x11: wire.insert(wire.end(), {0xDB, 0xDE}); break;
      case 0x13: wire.insert(wire.end(), {0xDB, 0xDF}); break;
      default: wire.push_back(byte);
    }
  }
  wire.push_back(0xC0);
  return wire;
}

inline std::vector<uint8_t> MessageFrame(const std::vector<uint8_t>& message) {
  return ReaderFrame(0x02, static_cast<uint32_t>(message.size()), message);
}

// The reader announcing how many message bytes a frame may carry.
inline std::vector<uint8_t> ChunkLimitFrame(uint32_t limit) { return ReaderFrame(0x03, limit, {0x00}); }

struct HostFrame {
  uint8_t kind = 0;
  uint32_t length = 0;
  std::vector<uint8_t> bytes;
};

// Splits what the host wrote into frames; false when the bytes are not a
// sequence of whole, well-formed frames.
inline bool ParseHostFrames(const std::vector<uint8_t>& wire, std::vector<HostFrame>* frames) {
  size_t at = 0;
  while (at < wire.size()) {
    if (wire[at++] != 0xC0) return false;
    std::vector<uint8_t> content;
    for (;;) {
      if (at >= wire.size()) return false;
      uint8_t byte = wire[at++];
      if (byte == 0xC0) break;
      if (byte == 0xDB) {
        if (at >= wire.size()) return false;
        uint8_t escaped = wire[at++];
        if (escaped == 0xDC) {
          content.push_back(0xC0);
        } else if (escaped == 0xDD) {
          content.push_back(0xDB);
        } else {
          return false;
        }
      } else {
        content.push_back(byte);
      }
    }
    if (content.size() < 5) return false;
    HostFrame frame;
    frame.kind = content[0];
    frame.length = static_cast<uint32_t>(content[1]) << 24 | static_cast<uint32_t>(content[2]) << 16 |
                   static_cast<uint32_t>(content[3]) << 8 | content[4];
    frame.bytes.assign(content.begin() + 5, content.end());
    if (frame.bytes.size() != frame.length) return false;
    frames->push_back(std::move(frame));
  }
  return true;
}

}  // namespace testing
}  // namespace quorlan
