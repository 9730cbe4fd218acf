#include "quorlan/message/notification.h"

#include "quorlan/message/incoming_message.h"
#include "quorlan/message/tag_path.h"

namespace quorlan {
namespace {

using Kind = ParseFailure::Kind;

uint32_t BigEndian32(const Bytes& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = at; i < at + 4; ++i) value = value << 8 | bytes[i];
  return value;
}

// From parameter 2, or when that is empty from bytes 1 to 4 of parameter 3.
std::optional<uint32_t> NotificationCodeOf(const OrvaneAPIFrameWork& envelope, ParseFailure* failure) {
  const Bytes direct = envelope.GetParameter(2);
  const Bytes prefixed = envelope.GetParameter(3);
  if (!direct.empty() ? direct.size() < 4 : prefixed.size() < 5) {
    return Fail(failure, {Kind::kRuntime, "Cannot find notification code"});
  }
  return !direct.empty() ? BigEndian32(direct, 0) : BigEndian32(prefixed, 1);
}

}  // namespace

OrvaneNotification OrvaneNotification::Parse(const Bytes& bytes) {
  ParseFailure failure;
  auto notification = TryParse(bytes, &failure);
  if (!notification) failure.Raise();
  return std::move(*notification);
}

std::optional<OrvaneNotification> OrvaneNotification::TryParse(const Bytes& bytes, ParseFailure* failure) {
  const auto envelope = ReadIncomingFrame(bytes, failure);
  if (!envelope) return std::nullopt;
  const Bytes header = envelope->GetParameter(1);
  if (header.empty()) return Fail(failure, {Kind::kRange, "notification without parameter 1"});
  if (MessageKindOf(header) != kMessageKindNotification || header.size() != 4) {
    return Fail(failure, {Kind::kRuntime, "Invalid message type"});
  }
  OrvaneNotification notification;
  notification.id = BigEndian16(header, 2);
  notification.messageText = BytesToHexString(bytes);
  auto frame = ReadInnerFrame(envelope->GetParameter(4), notification.id, failure);
  if (!frame) return std::nullopt;
  notification.frame = std::move(*frame);
  const auto code = NotificationCodeOf(*envelope, failure);
  if (!code) return std::nullopt;
  notification.code = *code;
  return notification;
}

OrvaneNotification OrvaneNotification::FromHex(const std::string& hex) { return Parse(HexStringToBytes(hex)); }

Bytes OrvaneNotification::GetParameterByPath(const std::string& path) const { return SelectByTagPath(frame, path); }

}  // namespace quorlan
