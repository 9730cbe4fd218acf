// Exports that send messages and commands, with or without waiting.
#include <memory>
#include <stdexcept>
#include <string>

#include "quorlan/capi/device_handles.h"
#include "quorlan/capi/export_guard.h"
#include "quorlan/capi/formatted_command.h"
#include "quorlan/capi/formatted_response.h"
#include "quorlan/capi/output_buffers.h"
#include "quorlan/device/orvane_device.h"
#include "quorlan/message/response.h"
#include "quorlan/qrx.h"
#include "quorlan/transport/korvex_packet_format.h"

using namespace quorlan;

static_assert(QRX_MAX_MESSAGE_LENGTH == kMaxMessageLength, "qrx.h states the packets' limit");

namespace {

constexpr int kBadHandle = 5;
constexpr int kSendFailed = 0xFF;

// The live device of a handle; throws for one that is not live, which each
// waiting export turns into its failure result.
std::shared_ptr<OrvaneDevice> DeviceOf(intptr_t handle) {
  auto device = FindDevice(handle);
  if (!device) throw std::invalid_argument("no live device");
  return device;
}

const char* StoreReply(const Bytes& reply) {
  return reply.empty() ? kEmptyText : StoreHexInOutputBuffer({ViewOf(reply)}, kResultBuffer);
}

const char* SendWithProgressAndWait(OrvaneDevice& device, const Bytes& bytes, QRX_ProgressCallback callback,
                                    void* user, int timeoutMs) {
  OrvaneDevice::Progress progress;
  if (callback != nullptr) progress = [callback, user](double fraction) { callback(user, fraction); };
  return StoreReply(device.SendAndWaitWithProgress(bytes, progress, timeoutMs, true));
}

}  // namespace

extern "C" {

QRX_API int QRX_CALL QRX_SendMessage(intptr_t handle, const char* hexMessage) {
  return GuardExport<int>(kSendFailed, [&] {
    auto device = FindDevice(handle);
    if (!device) return kBadHandle;
    if (hexMessage == nullptr) return kSendFailed;
    return device->Send(HexStringToBytes(hexMessage)) ? 0 : kSendFailed;
  });
}

QRX_API const char* QRX_CALL QRX_SendAndReceiveMessage(intptr_t handle, const char* hexMessage, int timeoutMs) {
  if (hexMessage == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    return StoreReply(DeviceOf(handle)->SendAndWait(HexStringToBytes(hexMessage), timeoutMs, true));
  });
}

QRX_API const char* QRX_CALL QRX_SendCommand(intptr_t handle, intptr_t command, int timeoutMs) {
  if (IsNoObject(command)) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    auto device = DeviceOf(handle);
    return StoreReply(device->SendAndWait(HexStringToBytes(QRX_GetCommandBytesInHex(command)), timeoutMs, true));
  });
}

QRX_API const char* QRX_CALL QRX_SendFommatedCommand(intptr_t handle, const char* formattedCommand, int timeoutMs) {
  if (formattedCommand == nullptr) return nullptr;
  return GuardExport<const char*>(nullptr, [&]() -> const char* {
    auto device = DeviceOf(handle);
    auto bytes = BuildFormattedCommand(formattedCommand);
    if (!bytes) return nullptr;
    const auto response = OrvaneResponse::TryParse(device->SendAndWait(*bytes, timeoutMs, true));
    return response ? StoreInOutputBuffer(FormatResponseText(*response), kResultBuffer) : nullptr;
  });
}

QRX_API const char* QRX_CALL QRX_SendCommandWithProgress(intptr_t handle, intptr_t command,
                                                         QRX_ProgressCallback callback, void* user, int timeoutMs) {
  if (IsNoObject(command)) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    auto device = DeviceOf(handle);
    return SendWithProgressAndWait(*device, HexStringToBytes(QRX_GetCommandBytesInHex(command)), callback, user,
                                   timeoutMs);
  });
}

QRX_API const char* QRX_CALL QRX_SendCommandStringWithProgress(intptr_t handle, const char* hexMessage,
                                                               QRX_ProgressCallback callback, void* user,
                                                               int timeoutMs) {
  if (hexMessage == nullptr) return kEmptyText;
  return GuardExport<const char*>(kEmptyText, [&] {
    return SendWithProgressAndWait(*DeviceOf(handle), HexStringToBytes(hexMessage), callback, user, timeoutMs);
  });
}

}  // extern "C"
