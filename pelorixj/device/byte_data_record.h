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

// The record of a caller's text. Throws std::invalid_argument unless the
// text is whole pairs of hexadecimal digits (IsHexPairs), so that nothing
// the caller did not write is sent.
ByteDataRecord CheckedByteDataRecord(std::string text);

}  // namespace pelorixj
