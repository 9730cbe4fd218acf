#include "pelorixj/device/frame_hex.h"

#include "pelorixj/device/hex_conversions.h"

namespace pelorixj {

quorlan::OrvaneAPIFrameWork ParseHex(const std::string& hex) {
  return quorlan::OrvaneAPIFrameWork::Parse(HexPairsToBytes(hex));
}

void SetParameterFromTag(quorlan::OrvaneAPIFrameWork& frame, uint8_t tag, const std::string& hex) {
  frame.SetParameter(quorlan::StoredKeyOfTag(tag), HexPairsToBytes(hex));
}

}  // namespace pelorixj
