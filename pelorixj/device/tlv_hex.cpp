#include "pelorixj/device/tlv_hex.h"

#include "pelorixj/device/hex_conversions.h"
#include "quorlan/message/message_frame.h"

namespace pelorixj {

quorlan::TlvNodes ParseBerTlvFlatHex(const std::string& hex) { return quorlan::ParseBerTlvFlat(HexPairsToBytes(hex)); }

quorlan::TlvNodes ParseBerTlvTopLevelHex(const std::string& hex) {
  return quorlan::ParseBerTlvTopLevel(HexPairsToBytes(hex));
}

std::string TlvNodeToHex(const quorlan::TlvNode& node) {
  return node.tag + quorlan::BerLengthToHex(static_cast<uint32_t>(node.length)) + node.value;
}

}  // namespace pelorixj
