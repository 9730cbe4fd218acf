#include "quorlan/transport/serial_frame.h"

namespace quorlan {

std::vector<uint8_t> StuffFrame(const std::vector<uint8_t>& content) {
  std::vector<uint8_t> frame;
  frame.reserve(content.size() + content.size() / 16 + 2);
  frame.push_back(kFrameDelimiter);
  for (uint8_t byte : content) {
    if (byte == kFrameDelimiter) {
      frame.push_back(kFrameEscape);
      frame.push_back(0xDC);
    } else if (byte == kFrameEscape) {
      frame.push_back(kFrameEscape);
      frame.push_back(0xDD);
    } else {
      frame.push_back(byte);
    }
  }
  frame.push_back(kFrameDelimiter);
  return frame;
}

namespace {

uint8_t Unescaped(uint8_t byte) {
  switch (byte) {
    case 0xDC: return kFrameDelimiter;
    case 0xDD: return kFrameEscape;
    case 0xDE: return 0x11;
    case 0xDF: return 0x13;
    default: return byte;
  }
}

}  // namespace

std::optional<std::vector<uint8_t>> UnstuffFrame(const uint8_t* raw, size_t length) {
  if (length < 2 || raw[0] != kFrameDelimiter) return std::nullopt;
  std::vector<uint8_t> content;
  content.reserve(length - 1);
  bool escaped = false;
  for (size_t i = 1; i < length; ++i) {
    if (raw[i] == kFrameEscape) {
      escaped = true;
    } else {
      content.push_back(escaped ? Unescaped(raw[i]) : raw[i]);
      escaped = false;
    }
  }
  return content;
}

}  // namespace quorlan
