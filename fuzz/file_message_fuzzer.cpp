// File messages from arbitrary bytes; one that reads is rebuilt and read again.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "fuzz_check.h"
#include "quorlan/message/file_message.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OrvaneFileMessage message;
  try {
    message = OrvaneFileMessage::Parse(Bytes(data, data + size));
  } catch (const std::logic_error&) {
    return 0;
  } catch (const std::runtime_error&) {
    return 0;
  }
  const OrvaneFileMessage rebuilt =
      OrvaneFileMessage::Parse(OrvaneFileMessage::Build(message.fileId, message.payload, message.code).Serialize());
  FUZZ_CHECK(rebuilt.fileId == message.fileId);
  FUZZ_CHECK(rebuilt.code == message.code);
  FUZZ_CHECK(rebuilt.payload == message.payload);
  return 0;
}
