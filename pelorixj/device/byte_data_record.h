// A text and the bytes that its hexadecimal digits stand for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelorixj {

struct ByteDataRecord {
  // Bytes are the text decoded with HexPairsToBytes.
  explicit ByteDataRecord(std::string text = std::string());

  std::string Text;
  std::vector<uint8_t> Bytes;
};

}  // namespace pelorixj
