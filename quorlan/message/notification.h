// Notifications: messages the reader sends on its own, with a 16-bit id and a
// 32-bit code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "quorlan/message/message_frame.h"
#include "quorlan/message/parse_failure.h"

namespace quorlan {

// A notification read in place: its inner frame is seen inside the bytes it
// was read from.
struct NotificationView {
  uint16_t id = 0;
  uint32_t code = 0;
  FrameView frame;
  // Parameter 4, which holds the inner frame.
  ByteView frameBytes;
};

// Nothing for bytes that are no notification, with the failure
// OrvaneNotification::Parse would raise.
std::optional<NotificationView> ReadNotification(ByteView bytes, ParseFailure* failure = nullptr);

class OrvaneNotification {
 public:
  OrvaneNotification() = default;
  OrvaneNotification(const OrvaneNotification&) = default;
  OrvaneNotification& operator=(const OrvaneNotification&) = default;
  virtual ~OrvaneNotification() = default;

  // Throws std::runtime_error with "invalid data", "Invalid frameword id",
  // "Invalid message type" or "Cannot find notification code" (the code
  // needs 4 bytes of parameter 2, or when that is empty 5 of parameter 3).
  static OrvaneNotification Parse(const Bytes& bytes);
  static OrvaneNotification FromHex(const std::string& hex);
  // Parse without throwing: nothing for bytes that are no notification, with
  // the failure Parse would raise.
  static std::optional<OrvaneNotification> TryParse(const Bytes& bytes, ParseFailure* failure = nullptr);

  // See SelectByTagPath.
  Bytes GetParameterByPath(const std::string& path) const;

  uint16_t id = 0;
  uint32_t code = 0;
  std::string messageText;
  OrvaneAPIFrameWork frame;
};

}  // namespace quorlan
