// Exports that run a payment transaction with fixed commands.
#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "quorlan/capi/device_handles.h"
#include "quorlan/capi/export_guard.h"
#include "quorlan/capi/output_buffers.h"
#include "quorlan/device/orvane_device.h"
#include "quorlan/message/command_envelope.h"
#include "quorlan/message/response.h"
#include "quorlan/qrx.h"

using namespace quorlan;

namespace {

constexpr int kNotOpen = 5;
constexpr int kNoOutput = 13;
constexpr int kNoResponse = 0xFF;
constexpr int kTransactionTimeoutMs = 1000;

constexpr uint16_t kStartTransaction = 0x1001;
constexpr uint16_t kCancelTransaction = 0x1004;
constexpr uint16_t kReadTransactionData = 0x1010;

using Parameters = std::vector<std::pair<uint8_t, std::string>>;
using Response = std::optional<OrvaneResponse>;

// The live device of a handle while it is open; null otherwise.
std::shared_ptr<OrvaneDevice> OpenDeviceOf(intptr_t handle) {
  auto device = FindDevice(handle);
  return device && device->IsOpen() ? device : nullptr;
}

// Sends the command and returns its response; nothing when none came, also
// when the device closed meanwhile.
Response Exchange(OrvaneDevice& device, uint16_t code, const Parameters& parameters) {
  OrvaneCommand command(code);
  for (const auto& [tag, value] : parameters) command.frame.SetParameterFromTag(tag, value);
  try {
    return OrvaneResponse::TryParse(device.SendAndWait(command.Serialize(), kTransactionTimeoutMs, true));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

int StatusOf(const Response& response) { return response ? response->StatusCode() : kNoResponse; }

// Output texts of these exports go to buffer 1, apart from the buffer-0 texts of the other exports.
const char* KeepInCommandBuffer(const Response& response) {
  return response ? StoreInOutputBuffer(response->messageText, kCommandBytesBuffer) : kEmptyText;
}

int ReadTransactionData(intptr_t handle, const char* which, const char** out) {
  auto device = OpenDeviceOf(handle);
  if (!device) return kNotOpen;
  if (out == nullptr) return kNoOutput;
  *out = nullptr;
  const Response response = Exchange(*device, kReadTransactionData, {{0x81, which}});
  *out = KeepInCommandBuffer(response);
  return StatusOf(response);
}

std::string EntryPath(int entry, const char* tag) {
  return "A4.A4.A0(" + std::to_string(entry) + ")." + tag;
}

void FillCardData(const OrvaneResponse& response, CardDataRecord* record) {
  const Bytes header = response.GetParameterByPath("81");
  if (header.size() < 3) {
    record->header[0] = 0xFF;
  } else {
    std::copy(header.begin(), header.begin() + 3, record->header);
  }
  for (int entry = 0; entry < 3; ++entry) {
    const Bytes item = response.GetParameterByPath(EntryPath(entry, "81"));
    if (item.size() < 4) continue;
    const int index = item[0];
    if (index == 0 || index > 3) continue;
    record->value[index - 1] =
        static_cast<uint32_t>(item[0]) << 24 | static_cast<uint32_t>(item[1]) << 16 | item[2] << 8 | item[3];
    // The field holds 255 characters and the terminating zero; a longer item is cut.
    const std::string text = BytesToHexString(response.GetParameterByPath(EntryPath(entry, "84")));
    std::strncpy(record->text[index - 1], text.c_str(), sizeof record->text[0] - 1);
  }
}

}  // namespace

extern "C" {

QRX_API int QRX_CALL QRX_StartTransaction(intptr_t handle, int amount, uint8_t b1, uint8_t b2, uint8_t b3,
                                          const char* param84Hex) {
  return GuardExport<int>(kNoResponse, [&] {
    auto device = OpenDeviceOf(handle);
    if (!device) return kNotOpen;
    const std::string amountHex = amount > 0 ? IntToHexBytes(amount) : std::string();
    Parameters parameters = {{0x81, amountHex}, {0x82, BytesToHexString({b1, b2, b3})}};
    if (param84Hex != nullptr) parameters.emplace_back(0x84, param84Hex);
    return StatusOf(Exchange(*device, kStartTransaction, parameters));
  });
}

QRX_API int QRX_CALL QRX_CancelTransaction(intptr_t handle) {
  return GuardExport<int>(kNoResponse, [&] {
    auto device = OpenDeviceOf(handle);
    if (!device) return kNotOpen;
    return StatusOf(Exchange(*device, kCancelTransaction, {}));
  });
}

QRX_API int QRX_CALL QRX_GetCardData(intptr_t handle, CardDataRecord* out) {
  return GuardExport<int>(kNoResponse, [&] {
    auto device = OpenDeviceOf(handle);
    if (!device) return kNotOpen;
    if (out == nullptr) return kNoOutput;
    std::memset(out, 0, sizeof *out);
    const Response response = Exchange(*device, kReadTransactionData, {{0x81, "01"}});
    out->response = KeepInCommandBuffer(response);
    const int status = StatusOf(response);
    if (status != 0) return status;
    FillCardData(*response, out);
    return 0;
  });
}

QRX_API int QRX_CALL QRX_GetARQC(intptr_t handle, const char** out) {
  return GuardExport<int>(kNoResponse, [&] { return ReadTransactionData(handle, "02", out); });
}

QRX_API int QRX_CALL QRX_GetBatch(intptr_t handle, const char** out) {
  return GuardExport<int>(kNoResponse, [&] { return ReadTransactionData(handle, "03", out); });
}

}  // extern "C"
