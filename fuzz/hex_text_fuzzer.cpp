// Hexadecimal text and the plain text and JSON helpers applied to arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "quorlan/message/hex_text.h"
#include "quorlan/message/json_escape.h"
#include "quorlan/message/plain_text.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  const Bytes decoded = HexStringToBytes(text);
  FUZZ_CHECK(decoded.size() == (size + 1) / 2);

  // Any bytes survive a round trip through their own text.
  const Bytes raw(data, data + size);
  const std::string hex = BytesToHexString(raw);
  FUZZ_CHECK(HexStringToBytes(hex) == raw);
  FUZZ_CHECK(BufferToHexString(data, static_cast<int>(size)) == hex);

  const std::string delimiter = size > 0 ? text.substr(0, 1 + data[0] % 3) : std::string();
  for (const std::string& piece : SplitString(text, delimiter)) FUZZ_CHECK(piece.size() <= size);
  TrimBlanks(text);
  EscapeJsonString(text);
  ToUpper(text);
  return 0;
}
