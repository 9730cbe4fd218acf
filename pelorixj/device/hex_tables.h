// The device layer's two hexadecimal tables, fixed at compile time so that
// nothing has to build them before use or tear them down at unload.
#pragma once

#include <array>
#include <cstdint>

namespace pelorixj {

struct HexTables {
  // Entry b: b as two upper-case digits and a terminating zero.
  std::array<std::array<char, 3>, 256> pairs{};
  // Indexed by the character's unsigned byte: the digit's value, 0 for
  // every character that is not a hexadecimal digit.
  std::array<uint8_t, 256> digitValues{};
};

constexpr HexTables MakeHexTables() {
  constexpr char digits[] = "0123456789ABCDEF";
  HexTables tables;
  for (int b = 0; b < 256; ++b) {
    tables.pairs[b] = {digits[b >> 4], digits[b & 0x0F], '\0'};
  }
  for (int d = 0; d < 10; ++d) tables.digitValues['0' + d] = static_cast<uint8_t>(d);
  for (int d = 0; d < 6; ++d) {
    tables.digitValues['A' + d] = static_cast<uint8_t>(10 + d);
    tables.digitValues['a' + d] = static_cast<uint8_t>(10 + d);
  }
  return tables;
}

inline constexpr HexTables kHexTables = MakeHexTables();

}  // namespace pelorixj
