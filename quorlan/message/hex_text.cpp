#include "quorlan/message/hex_text.h"

#include <array>
#include <cstdlib>
#include <cstring>

namespace quorlan {
namespace {

constexpr uint16_t kNoDigit = 0x100;

// Each character's value as the high or the low digit of a pair; kNoDigit
// for characters that are no hexadecimal digit, so that any pair holding one
// reads above 0xFF.
constexpr std::array<uint16_t, 256> DigitTable(int shift) {
  std::array<uint16_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    table[c] = value < 0 ? kNoDigit : static_cast<uint16_t>(value << shift);
  }
  return table;
}

constexpr std::array<uint16_t, 256> kHighDigit = DigitTable(4);
constexpr std::array<uint16_t, 256> kLowDigit = DigitTable(0);

// The two digits of each byte value.
constexpr std::array<char, 512> PairTable() {
  constexpr char digits[] = "0123456789ABCDEF";
  std::array<char, 512> table{};
  for (int b = 0; b < 256; ++b) {
    table[2 * b] = digits[b >> 4];
    table[2 * b + 1] = digits[b & 0x0F];
  }
  return table;
}

constexpr std::array<char, 512> kPairs = PairTable();

// The general case of one piece of one or two characters: white space, signs
// and "0x" as strtoul reads them, stopping at a zero character as it would.
uint8_t PieceValue(const char* text, size_t length) {
  char piece[3] = {};
  std::memcpy(piece, text, length);
  return static_cast<uint8_t>(std::strtoul(piece, nullptr, 16));
}

}  // namespace

void DecodeHex(const char* text, size_t length, uint8_t* out) {
  const auto* in = reinterpret_cast<const unsigned char*>(text);
  const size_t pairs = length / 2;
  for (size_t i = 0; i < pairs; ++i) {
    const unsigned value = kHighDigit[in[2 * i]] | kLowDigit[in[2 * i + 1]];
    out[i] = value <= 0xFF ? static_cast<uint8_t>(value) : PieceValue(text + 2 * i, 2);
  }
  if (length % 2 != 0) out[pairs] = PieceValue(text + length - 1, 1);
}

Bytes HexStringToBytes(const char* text, size_t length) {
  Bytes bytes(DecodedHexSize(length));
  DecodeHex(text, length, bytes.data());
  return bytes;
}

Bytes HexStringToBytes(const std::string& text) { return HexStringToBytes(text.data(), text.size()); }

Bytes HexStringToBytes(const char* text) { return HexStringToBytes(text, std::strlen(text)); }

void EncodeHex(const uint8_t* data, size_t count, char* out) {
  for (size_t i = 0; i < count; ++i) std::memcpy(out + 2 * i, &kPairs[2 * data[i]], 2);
}

std::string BytesToHexString(const uint8_t* data, size_t count) {
  std::string text(2 * count, '\0');
  EncodeHex(data, count, &text[0]);
  return text;
}

std::string BytesToHexString(const Bytes& bytes) { return BytesToHexString(bytes.data(), bytes.size()); }

std::string BufferToHexString(const uint8_t* data, int count) {
  try {
    return BytesToHexString(MakeByteVector(data, count));
  } catch (...) {
    return std::string();
  }
}

std::string IntToHexBytes(int value) {
  Bytes bytes;
  if (value <= 0) {
    bytes.push_back(0);
  }
  while (value > 0) {
    bytes.insert(bytes.begin(), static_cast<uint8_t>(value & 0xFF));
    value /= 256;
  }
  return BytesToHexString(bytes);
}

Bytes MakeByteVector(const uint8_t* data, int count) {
  if (data == nullptr || count <= 0) return Bytes();
  return Bytes(data, data + count);
}

}  // namespace quorlan
