// The formatted command grammar on arbitrary text, directly and through its export.
#include <cstddef>
#include <cstdint>
#include <string>

#include "quorlan/capi/formatted_command.h"
#include "fuzz_check.h"
#include "quorlan/message/command_envelope.h"
#include "quorlan/qrx.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<Bytes> envelope = BuildFormattedCommand(text);
  // Whatever the grammar accepts is a frame that reads back.
  if (envelope) OrvaneAPIFrameWork::Parse(*envelope);
  FUZZ_CHECK(QRX_GetFormattedCommandBytesInHex(text.c_str()) != nullptr);
  return 0;
}
