// Responses: the reader's answer to a command, with a command status and an
// operation status.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "quorlan/message/message_frame.h"
#include "quorlan/message/parse_failure.h"

namespace quorlan {

// A response read in place: its inner frame is seen inside the bytes it was
// read from.
struct ResponseView {
  // As OrvaneResponse::StatusCode.
  int32_t StatusCode() const;

  uint16_t commandId = 0;
  // The sequence byte of the command answered, echoed.
  uint8_t sequence = 0;
  int commandStatus = 0;
  int operationStatus = 0;
  FrameView frame;
  // Parameter 4, which holds the inner frame.
  ByteView frameBytes;
};

// Nothing for bytes that are no response, with the failure
// OrvaneResponse::Parse would raise.
std::optional<ResponseView> ReadResponse(ByteView bytes, ParseFailure* failure = nullptr);

class OrvaneResponse {
 public:
  // Throws std::runtime_error with "invalid data", "Invalid frameword id",
  // "Invalid message type" or "Cannot find response status", and the
  // standard library's argument and range errors for a short parameter 1
  // or a status that is no number.
  static OrvaneResponse Parse(const Bytes& bytes);
  static OrvaneResponse FromHex(const std::string& hex);
  // Parse without throwing: nothing for bytes that are no response, with the
  // failure Parse would raise.
  static std::optional<OrvaneResponse> TryParse(const Bytes& bytes, ParseFailure* failure = nullptr);

  // The inner frame's parameter under the key the tag is stored by; empty
  // when absent.
  Bytes GetParameterByTag(uint8_t tag) const;
  // See SelectByTagPath.
  Bytes GetParameterByPath(const std::string& path) const;

  // Operation status times 256 plus command status, wrapping at 32 bits.
  int32_t StatusCode() const;

  uint16_t commandId = 0;
  int commandStatus = 0;
  int operationStatus = 0;
  std::string messageText;
  OrvaneAPIFrameWork frame;
};

}  // namespace quorlan
