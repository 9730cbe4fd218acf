// The device layer's hexadecimal decoder and the frame and TLV readers
// behind it, applied to arbitrary text.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "fuzz_check.h"
#include "pelorixj/device/frame_hex.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/tlv_hex.h"
#include "quorlan/message/hex_text.h"
#include "quorlan/message/plain_text.h"

using namespace pelorixj;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  const Bytes decoded = HexPairsToBytes(text);
  FUZZ_CHECK(decoded.size() == (size % 2 == 0 ? size / 2 : 0));
  const std::string asText = HexToText(text);
  FUZZ_CHECK(Bytes(asText.begin(), asText.end()) == decoded);
  int count = 1;
  uint8_t first = 0;
  HexToBuffer(text, &first, &count);
  FUZZ_CHECK(count == static_cast<int>(decoded.size()));
  // Whole pairs are the texts that their bytes give back, case aside.
  FUZZ_CHECK(IsHexPairs(text) == (BytesToHexString(decoded) == quorlan::ToUpper(text)));

  // Any bytes survive a round trip through their own text, written as Quorlan writes it.
  const Bytes raw(data, data + size);
  const std::string hex = BytesToHexString(raw);
  FUZZ_CHECK(hex == quorlan::BytesToHexString(raw));
  FUZZ_CHECK(HexPairsToBytes(hex) == raw);
  FUZZ_CHECK(TextToHex(text) == hex);

  try {
    ParseHex(text);
    FUZZ_CHECK(decoded.size() >= 3);
  } catch (const std::runtime_error&) {
    FUZZ_CHECK(decoded.size() < 3);
  }
  ParseBerTlvFlatHex(text);
  for (const quorlan::TlvNode& node : ParseBerTlvTopLevelHex(text)) {
    FUZZ_CHECK(TlvNodeToHex(node).compare(0, node.tag.size(), node.tag) == 0);
  }
  return 0;
}
