#include "pelorixj/device/hex_conversions.h"

#include <algorithm>
#include <cstdio>

#include "pelorixj/device/hex_tables.h"

namespace pelorixj {
namespace {

uint8_t DigitValue(char c) { return kHexTables.digitValues[static_cast<unsigned char>(c)]; }

}  // namespace

std::string BytesToHexString(const Bytes& bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) text.append(kHexTables.pairs[b].data(), 2);
  return text;
}

Bytes HexPairsToBytes(const std::string& hex) {
  if (hex.size() % 2 != 0) return Bytes();
  Bytes bytes(hex.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(DigitValue(hex[2 * i]) * 16 + DigitValue(hex[2 * i + 1]));
  }
  return bytes;
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
