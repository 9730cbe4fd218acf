#include "quorlan/message/self_test.h"

#include "quorlan/message/command_envelope.h"

namespace quorlan {
namespace {

constexpr uint16_t kSelfTestCommandCode = 0xDF01;
constexpr int kLargestParameter = 99;

}  // namespace

int CountCommandEncodingMismatches() {
  int mismatches = 0;
  for (int i = 1; i <= kLargestParameter; ++i) {
    for (int j = 1; j <= kLargestParameter; ++j) {
      OrvaneCommand command(kSelfTestCommandCode);
      command.frame.SetParameter(1, Bytes(i, static_cast<uint8_t>(i)));
      command.frame.SetParameter(2, Bytes(j, static_cast<uint8_t>(j)));
      const Bytes sent = HexStringToBytes(BytesToHexString(command.Serialize()));
      const OrvaneAPIFrameWork envelope = OrvaneAPIFrameWork::Parse(sent);
      const OrvaneAPIFrameWork inner = OrvaneAPIFrameWork::Parse(envelope.GetParameter(4));
      if (inner.type != kSelfTestCommandCode) ++mismatches;
      if (inner.GetParameter(1).size() != static_cast<size_t>(i)) ++mismatches;
      if (inner.GetParameter(2).size() != static_cast<size_t>(j)) ++mismatches;
    }
  }
  return mismatches;
}

}  // namespace quorlan
