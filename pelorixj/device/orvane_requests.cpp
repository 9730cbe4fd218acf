#include "pelorixj/device/orvane_idevice.h"

#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/orvane_transaction_text.h"
#include "pelorixj/device/qrx_command.h"

namespace pelorixj {
namespace {

constexpr uint16_t kSignatureCommand = 0x1801;
constexpr uint16_t kSelectionCommand = 0x1802;
constexpr uint16_t kPinCommand = 0x1831;
constexpr uint16_t kPanCommand = 0x1832;

std::string Flag(uint32_t bits, int bit) { return ((bits >> bit) & 1u) ? "01" : "00"; }

}  // namespace

std::optional<DeviceResponse> OrvaneIDevice::Exchange(const std::string& commandHex) {
  // Quorlan refused to build the command: there is nothing to send.
  if (commandHex.empty()) return std::nullopt;
  return control_.SendSync(ByteDataRecord(commandHex));
}

bool OrvaneIDevice::ExchangeSends(const std::string& commandHex) {
  const std::optional<DeviceResponse> response = Exchange(commandHex);
  return response && response->Status != kResponseNotOpen;
}

bool OrvaneIDevice::ExchangeSucceeds(const std::string& commandHex) {
  const std::optional<DeviceResponse> response = Exchange(commandHex);
  return response && response->Status == 0;
}

bool OrvaneIDevice::StartTransaction(const TransactionRequest& request) {
  // A request that cannot be sent leaves a closed device closed.
  const std::optional<std::string> text = TransactionCommandText(request);
  if (!text || !control_.OpenIfClosed()) return false;
  // The reply is not examined: the transaction reports through notifications.
  return ExchangeSends(Qrx().getFormattedCommandBytesInHex(*text));
}

bool OrvaneIDevice::CancelTransaction() {
  if (!control_.OpenIfClosed()) return false;
  return ExchangeSends(Qrx().getFormattedCommandBytesInHex("1008"));
}

bool OrvaneIDevice::SendSelection(ByteDataRecord selection) {
  if (selection.Bytes.empty() || !control_.OpenIfClosed()) return false;
  CommandParameters parameters = {{0x81, selection.Text.substr(0, 2)}};
  if (selection.Bytes.size() >= 2) parameters.emplace_back(0x82, selection.Text.substr(2, 2));
  return ExchangeSucceeds(CommandBytesInHex(kSelectionCommand, parameters));
}

bool OrvaneIDevice::SendAuthorization(ByteDataRecord authorization) {
  if (authorization.Bytes.empty() || !control_.OpenIfClosed()) return false;
  return ExchangeSucceeds(CommandBytesInHex(
      kSelectionCommand, {{0x81, "00"}, {0x82, "30"}, {0x84, BytesToHexString(authorization.Bytes)}}));
}

bool OrvaneIDevice::RequestPIN(PinRequest request) {
  if (!control_.IsOpened()) return false;
  // The tone is not sent.
  const CommandParameters parameters = {
      {0x81, HexByte(request.Timeout)},
      {0x82, HexByte(request.PINMode)},
      {0x83, HexByte(request.MaxLength) + HexByte(request.MinLength)},
      {0x84, request.PAN},
      {0x85, HexByte(request.Format)},
  };
  return ExchangeSucceeds(CommandBytesInHex(kPinCommand, parameters));
}

bool OrvaneIDevice::RequestPAN(PanRequest request, const PinRequest* pinRequest) {
  if (!control_.IsOpened()) return false;
  const uint32_t methods = request.PaymentMethods;
  CommandParameters parameters = {
      {0xA3, "8101" + Flag(methods, 0) + "8201" + Flag(methods, 1) + "8301" + Flag(methods, 2)}};
  // Without a PIN request the reader is asked for the PAN alone.
  if (pinRequest != nullptr) {
    parameters.emplace_back(0xA4, "8201" + HexByte(pinRequest->PINMode) + "8302" + HexByte(pinRequest->MaxLength) +
                                      HexByte(pinRequest->MinLength) + "8501" + HexByte(pinRequest->Format));
  }
  return ExchangeSucceeds(CommandBytesInHex(kPanCommand, parameters));
}

bool OrvaneIDevice::RequestSignature() {
  if (!control_.OpenIfClosed()) return false;
  return ExchangeSucceeds(CommandBytesInHex(kSignatureCommand, {{0x81, "1C"}}));
}

}  // namespace pelorixj
