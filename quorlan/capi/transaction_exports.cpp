// Exports that run a payment transaction with fixed commands.
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "quorlan/capi/export_guard.h"
#include "quorlan/capi/output_buffers.h"
#include "quorlan/message/hex_text.h"
#include "quorlan/qrx.h"

using namespace quorlan;

namespace {

constexpr int kNotOpen = 5;
constexpr int kNoOutput = 13;
constexpr int kNoResponse = 0xFF;
constexpr int kTransactionTimeoutMs = 1000;

constexpr int kStartTransaction = 0x1001;
constexpr int kCancelTransaction = 0x1004;
constexpr int kReadTransactionData = 0x1010;

using Parameters = std::vector<std::pair<int, std::string>>;

// Sends the command and returns its response text (buffer 0; empty when none came).
std::string Exchange(intptr_t device, int code, const Parameters& parameters) {
  intptr_t command = QRX_CreateCommand(code);
  if (command == 0) return std::string();
  for (const auto& [tag, value] : parameters) QRX_SetCommandParameter(command, tag, value.c_str());
  std::string response = QRX_SendCommand(device, command, kTransactionTimeoutMs);
  QRX_DeleteCommand(command);
  return response;
}

// Output texts of these exports go to buffer 1, apart from the buffer-0 texts of the other exports.
const char* KeepInCommandBuffer(const std::string& text) {
  return text.empty() ? kEmptyText : StoreInOutputBuffer(text, kCommandBytesBuffer);
}

int ReadTransactionData(intptr_t device, const char* which, const char** out) {
  if (!QRX_IsDeviceOpened(device)) return kNotOpen;
  if (out == nullptr) return kNoOutput;
  *out = nullptr;
  std::string response = Exchange(device, kReadTransactionData, {{0x81, which}});
  *out = KeepInCommandBuffer(response);
  return QRX_GetStatusCode(response.c_str());
}

std::string EntryPath(int entry, const char* tag) {
  return "A4.A4.A0(" + std::to_string(entry) + ")." + tag;
}

void FillCardData(const std::string& response, CardDataRecord* record) {
  Bytes header = HexStringToBytes(QRX_GetResponseParameter(response.c_str(), "81"));
  if (header.size() < 3) {
    record->header[0] = 0xFF;
  } else {
    std::copy(header.begin(), header.begin() + 3, record->header);
  }
  for (int entry = 0; entry < 3; ++entry) {
    Bytes item = HexStringToBytes(QRX_GetResponseParameter(response.c_str(), EntryPath(entry, "81").c_str()));
    if (item.size() < 4) continue;
    const int index = item[0];
    if (index == 0 || index > 3) continue;
    record->value[index - 1] =
        static_cast<uint32_t>(item[0]) << 24 | static_cast<uint32_t>(item[1]) << 16 | item[2] << 8 | item[3];
    // The field holds 255 characters and the terminating zero; a longer item is cut.
    std::string text = QRX_GetResponseParameter(response.c_str(), EntryPath(entry, "84").c_str());
    std::strncpy(record->text[index - 1], text.c_str(), sizeof record->text[0] - 1);
  }
}

}  // namespace

extern "C" {

QRX_API int QRX_CALL QRX_StartTransaction(intptr_t device, int amount, uint8_t b1, uint8_t b2, uint8_t b3,
                                          const char* param84Hex) {
  return GuardExport<int>(kNoResponse, [&] {
    if (!QRX_IsDeviceOpened(device)) return kNotOpen;
    const std::string amountHex = amount > 0 ? IntToHexBytes(amount) : std::string();
    Parameters parameters = {{0x81, amountHex}, {0x82, BytesToHexString({b1, b2, b3})}};
    if (param84Hex != nullptr) parameters.emplace_back(0x84, param84Hex);
    return QRX_GetStatusCode(Exchange(device, kStartTransaction, parameters).c_str());
  });
}

QRX_API int QRX_CALL QRX_CancelTransaction(intptr_t device) {
  return GuardExport<int>(kNoResponse, [&] {
    if (!QRX_IsDeviceOpened(device)) return kNotOpen;
    return QRX_GetStatusCode(Exchange(device, kCancelTransaction, {}).c_str());
  });
}

QRX_API int QRX_CALL QRX_GetCardData(intptr_t device, CardDataRecord* out) {
  return GuardExport<int>(kNoResponse, [&] {
    if (!QRX_IsDeviceOpened(device)) return kNotOpen;
    if (out == nullptr) return kNoOutput;
    std::memset(out, 0, sizeof *out);
    std::string response = Exchange(device, kReadTransactionData, {{0x81, "01"}});
    out->response = KeepInCommandBuffer(response);
    int status = QRX_GetStatusCode(response.c_str());
    if (status != 0) return status;
    FillCardData(response, out);
    return 0;
  });
}

QRX_API int QRX_CALL QRX_GetARQC(intptr_t device, const char** out) {
  return GuardExport<int>(kNoResponse, [&] { return ReadTransactionData(device, "02", out); });
}

QRX_API int QRX_CALL QRX_GetBatch(intptr_t device, const char** out) {
  return GuardExport<int>(kNoResponse, [&] { return ReadTransactionData(device, "03", out); });
}

}  // extern "C"
