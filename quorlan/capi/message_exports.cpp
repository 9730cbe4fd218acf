// Exports that read one thing from a message given as hexadecimal text, and
// the one that builds a file message. Each call reads the text afresh.
#include "quorlan/qrx.h"

#include <optional>

#include "quorlan/capi/export_guard.h"
#include "quorlan/capi/output_buffers.h"
#include "quorlan/message/file_message.h"
#include "quorlan/message/notification.h"
#include "quorlan/message/response.h"

using namespace quorlan;

namespace {

constexpr int kNoStatus = 0xFF;

// An empty value gives the fixed empty text and stores nothing.
const char* StoreValue(const Bytes& value) {
  if (value.empty()) return kEmptyText;
  return StoreInOutputBuffer(BytesToHexString(value), kResultBuffer);
}

std::optional<OrvaneNotification> NotificationOf(const char* hex) {
  return OrvaneNotification::TryParse(HexStringToBytes(hex));
}

std::optional<OrvaneResponse> ResponseOf(const char* hex) { return OrvaneResponse::TryParse(HexStringToBytes(hex)); }

std::optional<OrvaneFileMessage> FileMessageOf(const char* hex) {
  return OrvaneFileMessage::TryParse(HexStringToBytes(hex));
}

}  // namespace

extern "C" {

QRX_API uint8_t QRX_CALL QRX_IsNotification(const char* hexMessage, uint32_t code, uint16_t id) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint8_t>(0, [&]() -> uint8_t {
    const auto notification = NotificationOf(hexMessage);
    if (!notification) return 0;
    if (notification->code == code) return id == 0 || notification->id == id;
    return code == 0;
  });
}

QRX_API uint32_t QRX_CALL QRX_GetNotificationCode(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] {
    const auto notification = NotificationOf(hexMessage);
    return notification ? notification->code : 0;
  });
}

QRX_API uint32_t QRX_CALL QRX_GetNotificationId(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] {
    const auto notification = NotificationOf(hexMessage);
    return notification ? uint32_t{notification->id} : 0;
  });
}

QRX_API const char* QRX_CALL QRX_GetNotificationParameter(const char* hexMessage, const char* tagPath) {
  if (hexMessage == nullptr || tagPath == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    const auto notification = NotificationOf(hexMessage);
    return notification ? StoreValue(notification->GetParameterByPath(tagPath)) : kEmptyText;
  });
}

QRX_API const char* QRX_CALL QRX_GetResponseParameter(const char* hexMessage, const char* tagPath) {
  if (hexMessage == nullptr || tagPath == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    const auto response = ResponseOf(hexMessage);
    return response ? StoreValue(response->GetParameterByPath(tagPath)) : kEmptyText;
  });
}

QRX_API int32_t QRX_CALL QRX_GetCommandStatus(const char* hexResponse) {
  if (hexResponse == nullptr) return kNoStatus;
  return GuardExport<int32_t>(kNoStatus, [&] {
    const auto response = ResponseOf(hexResponse);
    return response ? response->commandStatus : kNoStatus;
  });
}

QRX_API int32_t QRX_CALL QRX_GetOperationStatus(const char* hexResponse) {
  if (hexResponse == nullptr) return kNoStatus;
  return GuardExport<int32_t>(kNoStatus, [&] {
    const auto response = ResponseOf(hexResponse);
    return response ? response->operationStatus : kNoStatus;
  });
}

QRX_API uint32_t QRX_CALL QRX_GetResponseCommandID(const char* hexResponse) {
  if (hexResponse == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] {
    const auto response = ResponseOf(hexResponse);
    return response ? uint32_t{response->commandId} : 0;
  });
}

QRX_API int32_t QRX_CALL QRX_GetStatusCode(const char* hexResponse) {
  if (hexResponse == nullptr) return kNoStatus;
  return GuardExport<int32_t>(kNoStatus, [&] {
    const auto response = ResponseOf(hexResponse);
    return response ? response->StatusCode() : kNoStatus;
  });
}

QRX_API uint8_t QRX_CALL QRX_IsFile(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint8_t>(0, [&] { return FileMessageOf(hexMessage) ? 1 : 0; });
}

QRX_API uint32_t QRX_CALL QRX_GetFileID(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] {
    const auto message = FileMessageOf(hexMessage);
    return message ? message->fileId : 0;
  });
}

QRX_API const char* QRX_CALL QRX_GetFilePayload(const char* hexMessage) {
  if (hexMessage == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    const auto message = FileMessageOf(hexMessage);
    return message ? StoreValue(message->payload) : kEmptyText;
  });
}

QRX_API const char* QRX_CALL QRX_GetFileMessage(uint32_t fileId, const char* payloadHex, uint16_t code) {
  if (payloadHex == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    const OrvaneFileMessage message = OrvaneFileMessage::Build(fileId, HexStringToBytes(payloadHex), code);
    return StoreInOutputBuffer(BytesToHexString(message.Serialize()), kResultBuffer);
  });
}

}  // extern "C"
