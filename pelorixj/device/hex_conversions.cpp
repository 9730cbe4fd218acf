#include "pelorixj/device/hex_conversions.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "quorlan/message/hex_text.h"

namespace pelorixj {
namespace {

// Indexed by the character's unsigned byte: the digit's value, 0 for every
// character that is not a hexadecimal digit. Fixed at compile time, so that
// nothing builds it before use or tears it down at unload.
constexpr std::array<uint8_t, 256> DigitValues() {
  std::array<uint8_t, 256> values{};
  for (int d = 0; d < 10; ++d) values['0' + d] = static_cast<uint8_t>(d);
  for (int d = 0; d < 6; ++d) {
    values['A' + d] = static_cast<uint8_t>(10 + d);
    values['a' + d] = static_cast<uint8_t>(10 + d);
  }
  return values;
}

constexpr std::array<uint8_t, 256> kDigitValues = DigitValues();

uint8_t DigitValue(char c) { return kDigitValues[static_cast<unsigned char>(c)]; }

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

}  // namespace

std::string BytesToHexString(const Bytes& bytes) { return quorlan::BytesToHexString(bytes); }

Bytes HexPairsToBytes(const std::string& hex) {
  if (hex.size() % 2 != 0) return Bytes();
  Bytes bytes(hex.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(DigitValue(hex[2 * i]) * 16 + DigitValue(hex[2 * i + 1]));
  }
  return bytes;
}

bool IsHexPairs(const std::string& text) {
  return text.size() % 2 == 0 && std::all_of(text.begin(), text.end(), IsHexDigit);
}

void HexToBuffer(const std::string& hex, uint8_t* buffer, int* count) {
  const Bytes bytes = HexPairsToBytes(hex);
  const auto size = static_cast<int>(bytes.size());
  if (buffer != nullptr && count != nullptr && *count >= size) {
    std::copy(bytes.begin(), bytes.end(), buffer);
  }
  if (count != nullptr) *count = size;
}

std::string HexToText(const std::string& hex) {
  std::string text(hex.size() / 2 + 2, '\0');
  int count = static_cast<int>(text.size());
  HexToBuffer(hex, reinterpret_cast<uint8_t*>(text.data()), &count);
  text.resize(static_cast<size_t>(count));
  return text;
}

std::string TextToHex(const std::string& text) { return BytesToHexString(Bytes(text.begin(), text.end())); }

std::string HexByte(uint8_t value) { return BytesToHexString({value}); }

std::string Hex4(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
  return text;
}

std::string Hex8(uint32_t value) {
  char text[12];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

}  // namespace pelorixj
