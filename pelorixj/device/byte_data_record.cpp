#include "pelorixj/device/byte_data_record.h"

#include "pelorixj/device/hex_conversions.h"

namespace pelorixj {

ByteDataRecord::ByteDataRecord(std::string text) : Text(std::move(text)), Bytes(HexPairsToBytes(Text)) {}

}  // namespace pelorixj
