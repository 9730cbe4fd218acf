// BER-TLV data from arbitrary bytes, read both ways.
#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "quorlan/message/ber_tlv.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TlvNodes flat = ParseBerTlvFlat(data, size);
  for (const TlvNode& node : flat) FUZZ_CHECK(node.value.size() <= 2 * size);
  const TlvNodes top = ParseBerTlvTopLevel(data, size);
  FUZZ_CHECK(top.size() <= size);
  if (!flat.empty()) FindTlvValue(flat, flat.back().tag);
  FindTlvValue(top, "9F02");
  return 0;
}
