#include "quorlan/message/notification.h"

#include "quorlan/message/incoming_message.h"
#include "quorlan/message/tag_path.h"

namespace quorlan {
namespace {

using Kind = ParseFailure::Kind;

uint32_t BigEndian32(ByteView bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = at; i < at + 4; ++i) value = value << 8 | bytes[i];
  return value;
}

// From parameter 2, or when that is empty from bytes 1 to 4 of parameter 3.
std::optional<uint32_t> NotificationCodeOf(const FrameView& envelope, ParseFailure* failure) {
  const ByteView direct = envelope.Parameter(2);
  const ByteView prefixed = envelope.Parameter(3);
  if (!direct.empty() ? direct.size < 4 : prefixed.size < 5) {
    return Fail(failure, {Kind::kRuntime, "Cannot find notification code"});
  }
  return !direct.empty() ? BigEndian32(direct, 0) : BigEndian32(prefixed, 1);
}

}  // namespace

std::optional<NotificationView> ReadNotification(ByteView bytes, ParseFailure* failure) {
  const auto envelope = ReadIncomingFrame(bytes, failure);
  if (!envelope) return std::nullopt;
  const ByteView header = envelope->Parameter(1);
  if (header.empty()) return Fail(failure, {Kind::kRange, "notification without parameter 1"});
  if (MessageKindOf(header) != kMessageKindNotification || header.size != 4) {
    return Fail(failure, {Kind::kRuntime, "Invalid message type"});
  }
  NotificationView notification;
  notification.id = BigEndian16(header, 2);
  notification.frameBytes = envelope->Parameter(4);
  auto frame = ReadInnerFrame(notification.frameBytes, notification.id, failure);
  if (!frame) return std::nullopt;
  notification.frame = *frame;
  const auto code = NotificationCodeOf(*envelope, failure);
  if (!code) return std::nullopt;
  notification.code = *code;
  return notification;
}

OrvaneNotification OrvaneNotification::Parse(const Bytes& bytes) {
  ParseFailure failure;
  auto notification = TryParse(bytes, &failure);
  if (!notification) failure.Raise();
  return std::move(*notification);
}

std::optional<OrvaneNotification> OrvaneNotification::TryParse(const Bytes& bytes, ParseFailure* failure) {
  const auto view = ReadNotification(ViewOf(bytes), failure);
  if (!view) return std::nullopt;
  OrvaneNotification notification;
  notification.id = view->id;
  notification.code = view->code;
  notification.messageText = BytesToHexString(bytes);
  notification.frame = *CopyInnerFrame(view->frameBytes, view->id);
  return notification;
}

OrvaneNotification OrvaneNotification::FromHex(const std::string& hex) { return Parse(HexStringToBytes(hex)); }

Bytes OrvaneNotification::GetParameterByPath(const std::string& path) const { return SelectByTagPath(frame, path); }

}  // namespace quorlan
