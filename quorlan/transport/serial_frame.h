// Frames of the serial link: content between 0xC0 delimiters, with 0xC0 and
// 0xDB escaped behind 0xDB (as Serial Line IP does).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace quorlan {

constexpr uint8_t kFrameDelimiter = 0xC0;
constexpr uint8_t kFrameEscape = 0xDB;

// 0xC0, the escaped content, 0xC0.
std::vector<uint8_t> StuffFrame(const std::vector<uint8_t>& content);

// The content of a raw frame given from its opening 0xC0 up to, not
// including, the closing one. Nothing when it is shorter than 2 bytes or does
// not open with 0xC0. Besides the two escapes that StuffFrame writes, the
// reader may escape 0x11 and 0x13 (0xDB 0xDE, 0xDB 0xDF); any other byte
// behind 0xDB stands for itself, and no 0xDB is ever kept.
std::optional<std::vector<uint8_t>> UnstuffFrame(const uint8_t* raw, size_t length);

}  // namespace quorlan
