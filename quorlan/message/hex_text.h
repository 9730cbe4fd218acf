// Hexadecimal text: bytes written as upper-case pairs, and read back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorlan {

using Bytes = std::vector<uint8_t>;

// Bytes seen in place, inside storage that outlives the view.
struct ByteView {
  const uint8_t* data = nullptr;
  size_t size = 0;

  bool empty() const { return size == 0; }
  uint8_t operator[](size_t index) const { return data[index]; }
  Bytes ToBytes() const { return Bytes(data, data + size); }
};

inline ByteView ViewOf(const Bytes& bytes) { return ByteView{bytes.data(), bytes.size()}; }

// Reads each pair of characters as a base-16 number (strtoul rules); an odd
// last digit becomes a byte of its own and a pair without digits gives 0.
Bytes HexStringToBytes(const std::string& text);
Bytes HexStringToBytes(const char* text, size_t length);
// Of a zero-terminated text.
Bytes HexStringToBytes(const char* text);

// The bytes HexStringToBytes gives for a text of the given length.
inline size_t DecodedHexSize(size_t length) { return (length + 1) / 2; }
// HexStringToBytes into DecodedHexSize(length) bytes at out.
void DecodeHex(const char* text, size_t length, uint8_t* out);

// Upper-case pairs, no separators.
std::string BytesToHexString(const Bytes& bytes);
std::string BytesToHexString(const uint8_t* data, size_t count);
// The 2 * count digits at out, without a terminating zero.
void EncodeHex(const uint8_t* data, size_t count, char* out);

// BytesToHexString of count bytes at data; the empty text when that fails.
std::string BufferToHexString(const uint8_t* data, int count);

// Minimal big-endian bytes of value as hexadecimal text; "00" for 0 and below.
std::string IntToHexBytes(int value);

Bytes MakeByteVector(const uint8_t* data, int count);

}  // namespace quorlan
