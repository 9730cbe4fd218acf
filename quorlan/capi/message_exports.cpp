// Exports that read one thing from a message given as hexadecimal text, and
// the one that builds a file message. Each call decodes the text once and
// reads the message in place.
#include "quorlan/qrx.h"

#include <optional>

#include "quorlan/capi/export_guard.h"
#include "quorlan/capi/output_buffers.h"
#include "quorlan/message/file_message.h"
#include "quorlan/message/notification.h"
#include "quorlan/message/response.h"
#include "quorlan/message/tag_path.h"

using namespace quorlan;

namespace {

constexpr int kNoStatus = 0xFF;

// An empty value gives the fixed empty text and stores nothing.
const char* StoreValue(ByteView value) {
  if (value.empty()) return kEmptyText;
  return StoreHexInOutputBuffer({value}, kResultBuffer);
}

// A message decoded once from its text and read in place by one of the
// readers; false when the text is no such message.
template <class View>
class DecodedMessage {
 public:
  using Reader = std::optional<View> (*)(ByteView, ParseFailure*);

  DecodedMessage(const char* hex, Reader read)
      : bytes_(HexStringToBytes(hex)), view_(read(ViewOf(bytes_), nullptr)) {}
  DecodedMessage(const DecodedMessage&) = delete;
  DecodedMessage& operator=(const DecodedMessage&) = delete;

  explicit operator bool() const { return view_.has_value(); }
  const View* operator->() const { return &*view_; }

 private:
  const Bytes bytes_;
  const std::optional<View> view_;
};

struct NotificationText : DecodedMessage<NotificationView> {
  explicit NotificationText(const char* hex) : DecodedMessage(hex, ReadNotification) {}
};

struct ResponseText : DecodedMessage<ResponseView> {
  explicit ResponseText(const char* hex) : DecodedMessage(hex, ReadResponse) {}
};

struct FileMessageText : DecodedMessage<FileMessageView> {
  explicit FileMessageText(const char* hex) : DecodedMessage(hex, ReadFileMessage) {}
};

}  // namespace

extern "C" {

QRX_API uint8_t QRX_CALL QRX_IsNotification(const char* hexMessage, uint32_t code, uint16_t id) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint8_t>(0, [&]() -> uint8_t {
    const NotificationText notification(hexMessage);
    if (!notification) return 0;
    if (notification->code == code) return id == 0 || notification->id == id;
    return code == 0;
  });
}

QRX_API uint32_t QRX_CALL QRX_GetNotificationCode(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] {
    const NotificationText notification(hexMessage);
    return notification ? notification->code : 0;
  });
}

QRX_API uint32_t QRX_CALL QRX_GetNotificationId(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] {
    const NotificationText notification(hexMessage);
    return notification ? uint32_t{notification->id} : 0;
  });
}

QRX_API const char* QRX_CALL QRX_GetNotificationParameter(const char* hexMessage, const char* tagPath) {
  if (hexMessage == nullptr || tagPath == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    const NotificationText notification(hexMessage);
    return notification ? StoreValue(SelectByTagPath(notification->frame, tagPath)) : kEmptyText;
  });
}

QRX_API const char* QRX_CALL QRX_GetResponseParameter(const char* hexMessage, const char* tagPath) {
  if (hexMessage == nullptr || tagPath == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    const ResponseText response(hexMessage);
    return response ? StoreValue(SelectByTagPath(response->frame, tagPath)) : kEmptyText;
  });
}

QRX_API int32_t QRX_CALL QRX_GetCommandStatus(const char* hexResponse) {
  if (hexResponse == nullptr) return kNoStatus;
  return GuardExport<int32_t>(kNoStatus, [&] {
    const ResponseText response(hexResponse);
    return response ? response->commandStatus : kNoStatus;
  });
}

QRX_API int32_t QRX_CALL QRX_GetOperationStatus(const char* hexResponse) {
  if (hexResponse == nullptr) return kNoStatus;
  return GuardExport<int32_t>(kNoStatus, [&] {
    const ResponseText response(hexResponse);
    return response ? response->operationStatus : kNoStatus;
  });
}

QRX_API uint32_t QRX_CALL QRX_GetResponseCommandID(const char* hexResponse) {
  if (hexResponse == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] {
    const ResponseText response(hexResponse);
    return response ? uint32_t{response->commandId} : 0;
  });
}

QRX_API int32_t QRX_CALL QRX_GetStatusCode(const char* hexResponse) {
  if (hexResponse == nullptr) return kNoStatus;
  return GuardExport<int32_t>(kNoStatus, [&] {
    const ResponseText response(hexResponse);
    return response ? response->StatusCode() : kNoStatus;
  });
}

QRX_API uint8_t QRX_CALL QRX_IsFile(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint8_t>(0, [&] { return FileMessageText(hexMessage) ? 1 : 0; });
}

QRX_API uint32_t QRX_CALL QRX_GetFileID(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] {
    const FileMessageText message(hexMessage);
    return message ? message->fileId : 0;
  });
}

QRX_API const char* QRX_CALL QRX_GetFilePayload(const char* hexMessage) {
  if (hexMessage == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    const FileMessageText message(hexMessage);
    return message ? StoreValue(message->payload) : kEmptyText;
  });
}

QRX_API const char* QRX_CALL QRX_GetFileMessage(uint32_t fileId, const char* payloadHex, uint16_t code) {
  if (payloadHex == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    const Bytes payload = HexStringToBytes(payloadHex);
    const Bytes before = FileMessageBytesBeforePayload(fileId, payload.size(), code);
    return StoreHexInOutputBuffer({ViewOf(before), ViewOf(payload)}, kResultBuffer);
  });
}

}  // extern "C"
