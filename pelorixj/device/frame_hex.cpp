#include "pelorixj/device/frame_hex.h"

#include <algorithm>

#include "pelorixj/device/hex_conversions.h"

namespace pelorixj {

quorlan::OrvaneAPIFrameWork ParseHex(const std::string& hex) {
  return quorlan::OrvaneAPIFrameWork::Parse(HexPairsToBytes(hex));
}

bool HeaderNamesFile(const quorlan::Bytes& header, const quorlan::Bytes& fileId) {
  return header.size() >= 4 + fileId.size() && std::equal(fileId.begin(), fileId.end(), header.begin() + 4);
}

void SetParameterFromTag(quorlan::OrvaneAPIFrameWork& frame, uint8_t tag, const std::string& hex) {
  frame.SetParameter(quorlan::StoredKeyOfTag(tag), HexPairsToBytes(hex));
}

}  // namespace pelorixj
