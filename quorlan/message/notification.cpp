#include "quorlan/message/notification.h"

#include <stdexcept>

#include "quorlan/message/incoming_message.h"
#include "quorlan/message/tag_path.h"

namespace quorlan {
namespace {

uint32_t BigEndian32(const Bytes& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = at; i < at + 4; ++i) value = value << 8 | bytes.at(i);
  return value;
}

// From parameter 2, or when that is empty from bytes 1 to 4 of parameter 3.
uint32_t NotificationCodeOf(const OrvaneAPIFrameWork& envelope) {
  const Bytes direct = envelope.GetParameter(2);
  if (!direct.empty()) {
    if (direct.size() < 4) throw std::runtime_error("Cannot find notification code");
    return BigEndian32(direct, 0);
  }
  const Bytes prefixed = envelope.GetParameter(3);
  if (prefixed.size() < 5) throw std::runtime_error("Cannot find notification code");
  return BigEndian32(prefixed, 1);
}

}  // namespace

OrvaneNotification OrvaneNotification::Parse(const Bytes& bytes) {
  const OrvaneAPIFrameWork envelope = ParseIncomingFrame(bytes);
  const Bytes header = envelope.GetParameter(1);
  if (header.empty()) throw std::out_of_range("notification without parameter 1");
  if (MessageKindOf(header) != kMessageKindNotification || header.size() != 4) {
    throw std::runtime_error("Invalid message type");
  }
  OrvaneNotification notification;
  notification.id = BigEndian16(header, 2);
  notification.messageText = BytesToHexString(bytes);
  notification.frame = InnerFrameOf(envelope.GetParameter(4), notification.id);
  notification.code = NotificationCodeOf(envelope);
  return notification;
}

OrvaneNotification OrvaneNotification::FromHex(const std::string& hex) { return Parse(HexStringToBytes(hex)); }

Bytes OrvaneNotification::GetParameterByPath(const std::string& path) const { return SelectByTagPath(frame, path); }

}  // namespace quorlan
