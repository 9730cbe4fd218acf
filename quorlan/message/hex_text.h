// Hexadecimal text: bytes written as upper-case pairs, and read back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorlan {

using Bytes = std::vector<uint8_t>;

// Reads each pair of characters as a base-16 number (strtoul rules); an odd
// last digit becomes a byte of its own and a pair without digits gives 0.
Bytes HexStringToBytes(const std::string& text);

// Upper-case pairs, no separators.
std::string BytesToHexString(const Bytes& bytes);

// BytesToHexString of count bytes at data; the empty text when that fails.
std::string BufferToHexString(const uint8_t* data, int count);

// Minimal big-endian bytes of value as hexadecimal text; "00" for 0 and below.
std::string IntToHexBytes(int value);

Bytes MakeByteVector(const uint8_t* data, int count);

}  // namespace quorlan
