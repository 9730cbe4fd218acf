#include "quorlan/message/hex_text.h"

#include <cstdlib>

namespace quorlan {
namespace {

const char kHexDigits[] = "0123456789ABCDEF";

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The general case of one piece: white space, signs and "0x" as strtoul reads them.
uint8_t PieceValue(const std::string& piece) {
  return static_cast<uint8_t>(std::strtoul(piece.c_str(), nullptr, 16));
}

}  // namespace

Bytes HexStringToBytes(const std::string& text) {
  Bytes bytes;
  bytes.reserve(text.size() / 2 + 1);
  for (size_t pos = 0; pos < text.size(); pos += 2) {
    if (pos + 1 < text.size()) {
      int high = HexDigitValue(text[pos]);
      int low = HexDigitValue(text[pos + 1]);
      if (high >= 0 && low >= 0) {
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
        continue;
      }
    }
    bytes.push_back(PieceValue(text.substr(pos, 2)));
  }
  return bytes;
}

std::string BytesToHexString(const Bytes& bytes) {
  std::string text(bytes.size() * 2, '0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    text[2 * i] = kHexDigits[bytes[i] >> 4];
    text[2 * i + 1] = kHexDigits[bytes[i] & 0x0F];
  }
  return text;
}

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
