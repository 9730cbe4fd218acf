#include "pelorixj/device/byte_data_record.h"

#include <stdexcept>

#include "pelorixj/device/hex_conversions.h"

namespace pelorixj {

ByteDataRecord::ByteDataRecord(std::string text) : Text(std::move(text)), Bytes(HexPairsToBytes(Text)) {}

ByteDataRecord CheckedByteDataRecord(std::string text) {
  if (!IsHexPairs(text)) throw std::invalid_argument("not whole pairs of hexadecimal digits");
  return ByteDataRecord(std::move(text));
}

}  // namespace pelorixj
