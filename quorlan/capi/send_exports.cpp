// Exports that send messages and commands, with or without waiting.
#include <string>

#include "quorlan/capi/export_guard.h"
#include "quorlan/capi/formatted_command.h"
#include "quorlan/capi/formatted_response.h"
#include "quorlan/capi/output_buffers.h"
#include "quorlan/device/orvane_device.h"
#include "quorlan/message/response.h"
#include "quorlan/qrx.h"

using namespace quorlan;

namespace {

OrvaneDevice* DeviceOf(intptr_t handle) { return reinterpret_cast<OrvaneDevice*>(handle); }

const char* StoreReply(const Bytes& reply) {
  return reply.empty() ? kEmptyText : StoreInOutputBuffer(BytesToHexString(reply), kResultBuffer);
}

const char* SendWithProgressAndWait(intptr_t device, const Bytes& bytes, QRX_ProgressCallback callback, void* user,
                                    int timeoutMs) {
  OrvaneDevice::Progress progress;
  if (callback != nullptr) progress = [callback, user](double fraction) { callback(user, fraction); };
  return StoreReply(DeviceOf(device)->SendAndWaitWithProgress(bytes, progress, timeoutMs, true));
}

}  // namespace

extern "C" {

QRX_API int QRX_CALL QRX_SendMessage(intptr_t device, const char* hexMessage) {
  if (IsNoObject(device)) return 5;
  if (hexMessage == nullptr) return 0xFF;
  return GuardExport<int>(0xFF, [&] {
    DeviceOf(device)->Send(HexStringToBytes(hexMessage));
    return 0;
  });
}

QRX_API const char* QRX_CALL QRX_SendAndReceiveMessage(intptr_t device, const char* hexMessage, int timeoutMs) {
  if (IsNoObject(device) || hexMessage == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    return StoreReply(DeviceOf(device)->SendAndWait(HexStringToBytes(hexMessage), timeoutMs, true));
  });
}

QRX_API const char* QRX_CALL QRX_SendCommand(intptr_t device, intptr_t command, int timeoutMs) {
  if (IsNoObject(device) || IsNoObject(command)) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    return QRX_SendAndReceiveMessage(device, QRX_GetCommandBytesInHex(command), timeoutMs);
  });
}

QRX_API const char* QRX_CALL QRX_SendFommatedCommand(intptr_t device, const char* formattedCommand, int timeoutMs) {
  if (IsNoObject(device) || formattedCommand == nullptr) return nullptr;
  return GuardExport<const char*>(nullptr, [&]() -> const char* {
    auto bytes = BuildFormattedCommand(formattedCommand);
    if (!bytes) return nullptr;
    Bytes reply = DeviceOf(device)->SendAndWait(*bytes, timeoutMs, true);
    return StoreInOutputBuffer(FormatResponseText(OrvaneResponse::Parse(reply)), kResultBuffer);
  });
}

QRX_API const char* QRX_CALL QRX_SendCommandWithProgress(intptr_t device, intptr_t command,
                                                         QRX_ProgressCallback callback, void* user, int timeoutMs) {
  if (IsNoObject(device) || IsNoObject(command)) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    return SendWithProgressAndWait(device, HexStringToBytes(QRX_GetCommandBytesInHex(command)), callback, user,
                                   timeoutMs);
  });
}

QRX_API const char* QRX_CALL QRX_SendCommandStringWithProgress(intptr_t device, const char* hexMessage,
                                                               QRX_ProgressCallback callback, void* user,
                                                               int timeoutMs) {
  if (IsNoObject(device) || hexMessage == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    return SendWithProgressAndWait(device, HexStringToBytes(hexMessage), callback, user, timeoutMs);
  });
}

}  // extern "C"
