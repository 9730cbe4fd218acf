// Frames and TLV items from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "fuzz_check.h"
#include "quorlan/message/message_frame.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const TlvItem& item : ParseTlvItems(data, size)) FUZZ_CHECK(item.value.size() <= size);

  OrvaneAPIFrameWork frame;
  try {
    frame = OrvaneAPIFrameWork::Parse(Bytes(data, data + size));
  } catch (const std::runtime_error&) {
    return 0;
  }
  // What a parsed frame writes reads back as the same frame (one without
  // parameters writes only its type, which is too short to read).
  if (frame.parameters.empty()) return 0;
  const OrvaneAPIFrameWork again = OrvaneAPIFrameWork::Parse(frame.Serialize());
  FUZZ_CHECK(again.type == frame.type);
  FUZZ_CHECK(again.parameters == frame.parameters);
  return 0;
}
