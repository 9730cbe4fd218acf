// Exports that read one thing from a message given as hexadecimal text, and
// the one that builds a file message. Each call reads the text afresh.
#include "quorlan/qrx.h"

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

OrvaneFileMessage FileMessageOf(const char* hexMessage) {
  return OrvaneFileMessage::Parse(HexStringToBytes(hexMessage));
}

}  // namespace

extern "C" {

QRX_API uint8_t QRX_CALL QRX_IsNotification(const char* hexMessage, uint32_t code, uint16_t id) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint8_t>(0, [&]() -> uint8_t {
    const OrvaneNotification notification = OrvaneNotification::FromHex(hexMessage);
    if (notification.code == code) return id == 0 || notification.id == id;
    return code == 0;
  });
}

QRX_API uint32_t QRX_CALL QRX_GetNotificationCode(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] { return OrvaneNotification::FromHex(hexMessage).code; });
}

QRX_API uint32_t QRX_CALL QRX_GetNotificationId(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] { return uint32_t{OrvaneNotification::FromHex(hexMessage).id}; });
}

QRX_API const char* QRX_CALL QRX_GetNotificationParameter(const char* hexMessage, const char* tagPath) {
  if (hexMessage == nullptr || tagPath == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    return StoreValue(OrvaneNotification::FromHex(hexMessage).GetParameterByPath(tagPath));
  });
}

QRX_API const char* QRX_CALL QRX_GetResponseParameter(const char* hexMessage, const char* tagPath) {
  if (hexMessage == nullptr || tagPath == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    return StoreValue(OrvaneResponse::FromHex(hexMessage).GetParameterByPath(tagPath));
  });
}

QRX_API int32_t QRX_CALL QRX_GetCommandStatus(const char* hexResponse) {
  if (hexResponse == nullptr) return kNoStatus;
  return GuardExport<int32_t>(kNoStatus, [&] { return OrvaneResponse::FromHex(hexResponse).commandStatus; });
}

QRX_API int32_t QRX_CALL QRX_GetOperationStatus(const char* hexResponse) {
  if (hexResponse == nullptr) return kNoStatus;
  return GuardExport<int32_t>(kNoStatus, [&] { return OrvaneResponse::FromHex(hexResponse).operationStatus; });
}

QRX_API uint32_t QRX_CALL QRX_GetResponseCommandID(const char* hexResponse) {
  if (hexResponse == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] { return uint32_t{OrvaneResponse::FromHex(hexResponse).commandId}; });
}

QRX_API int32_t QRX_CALL QRX_GetStatusCode(const char* hexResponse) {
  if (hexResponse == nullptr) return kNoStatus;
  return GuardExport<int32_t>(kNoStatus, [&] { return OrvaneResponse::FromHex(hexResponse).StatusCode(); });
}

QRX_API uint8_t QRX_CALL QRX_IsFile(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint8_t>(0, [&]() -> uint8_t {
    FileMessageOf(hexMessage);
    return 1;
  });
}

QRX_API uint32_t QRX_CALL QRX_GetFileID(const char* hexMessage) {
  if (hexMessage == nullptr) return 0;
  return GuardExport<uint32_t>(0, [&] { return FileMessageOf(hexMessage).fileId; });
}

QRX_API const char* QRX_CALL QRX_GetFilePayload(const char* hexMessage) {
  if (hexMessage == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] { return StoreValue(FileMessageOf(hexMessage).payload); });
}

QRX_API const char* QRX_CALL QRX_GetFileMessage(uint32_t fileId, const char* payloadHex, uint16_t code) {
  if (payloadHex == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    const OrvaneFileMessage message = OrvaneFileMessage::Build(fileId, HexStringToBytes(payloadHex), code);
    return StoreInOutputBuffer(BytesToHexString(message.Serialize()), kResultBuffer);
  });
}

}  // extern "C"
