// File messages: an envelope frame whose parameter 1 carries a 16-bit code
// and a 32-bit file identifier and whose parameter 4 carries the file's bytes.
#pragma once

#include <cstdint>
#include <optional>

#include "quorlan/message/message_frame.h"
#include "quorlan/message/parse_failure.h"

namespace quorlan {

// A file message read in place: the payload is seen inside the bytes it was
// read from.
struct FileMessageView {
  uint16_t code = 0;
  uint32_t fileId = 0;
  ByteView payload;
};

// Nothing for bytes that are no file message, with the failure
// OrvaneFileMessage::Parse would raise.
std::optional<FileMessageView> ReadFileMessage(ByteView bytes, ParseFailure* failure = nullptr);

// The bytes of OrvaneFileMessage::Build(fileId, payload, code).Serialize()
// that come before the payload, which ends them.
Bytes FileMessageBytesBeforePayload(uint32_t fileId, size_t payloadSize, uint16_t code);

class OrvaneFileMessage : public OrvaneAPIFrameWork {
 public:
  // Parameter 1 is 04 00, the code and the file identifier; parameter 4 is
  // the payload, also when that is empty.
  static OrvaneFileMessage Build(uint32_t fileId, Bytes payload, uint16_t code);

  // Throws std::runtime_error with "invalid data", "Invalid frameword id",
  // "Invalid file message header" (parameter 1 not 8 bytes long), "Message
  // Type is not file" or "File message must have a payload - P4!".
  static OrvaneFileMessage Parse(const Bytes& bytes);
  // Parse without throwing: nothing for bytes that are no file message, with
  // the failure Parse would raise.
  static std::optional<OrvaneFileMessage> TryParse(const Bytes& bytes, ParseFailure* failure = nullptr);

  Bytes payload;
  uint32_t fileId = 0;
  uint16_t code = 0;
};

}  // namespace quorlan
