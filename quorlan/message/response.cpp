#include "quorlan/message/response.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "quorlan/message/ber_tlv.h"
#include "quorlan/message/incoming_message.h"
#include "quorlan/message/tag_path.h"

namespace quorlan {
namespace {

constexpr int kStatusListKey = 0x21;

using Kind = ParseFailure::Kind;

struct StatusTexts {
  std::string command;
  std::string operation;
};

std::optional<StatusTexts> StatusTextsOf(const FrameView& envelope, ParseFailure* failure) {
  const ByteView statusList = envelope.Parameter(kStatusListKey);
  if (!statusList.empty()) {
    const TlvNodes nodes = ParseBerTlvFlat(statusList.data, statusList.size);
    return StatusTexts{FindTlvValue(nodes, "81"), FindTlvValue(nodes, "82")};
  }
  // Byte 0 is the operation status, bytes 1 to 3 the command status.
  const ByteView status = envelope.Parameter(2);
  if (status.size < 4) return Fail(failure, {Kind::kRuntime, "Cannot find response status"});
  const std::string hex = BytesToHexString(status.data, 4);
  return StatusTexts{hex.substr(2, 6), hex.substr(0, 2)};
}

// As std::stoi(text, nullptr, 16), failing with the errors it raises.
std::optional<int> StatusNumber(const std::string& text, ParseFailure* failure) {
  const char* start = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(start, &end, 16);
  if (end == start) return Fail(failure, {Kind::kArgument, "stoi"});
  if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return Fail(failure, {Kind::kRange, "stoi"});
  return static_cast<int>(value);
}

int32_t CombinedStatus(int operationStatus, int commandStatus) {
  return static_cast<int32_t>(static_cast<uint32_t>(operationStatus) * 256u + static_cast<uint32_t>(commandStatus));
}

}  // namespace

std::optional<ResponseView> ReadResponse(ByteView bytes, ParseFailure* failure) {
  const auto envelope = ReadIncomingFrame(bytes, failure);
  if (!envelope) return std::nullopt;
  const ByteView header = envelope->Parameter(1);
  if (header.empty()) return Fail(failure, {Kind::kRange, "response without parameter 1"});
  if (MessageKindOf(header) != kMessageKindResponse) return Fail(failure, {Kind::kRuntime, "Invalid message type"});
  if (header.size < 4) return Fail(failure, {Kind::kRange, "response parameter 1 too short"});

  ResponseView response;
  response.commandId = BigEndian16(header, 2);
  response.sequence = header[1];
  const auto status = StatusTextsOf(*envelope, failure);
  if (!status) return std::nullopt;
  const auto operationStatus = StatusNumber(status->operation, failure);
  if (!operationStatus) return std::nullopt;
  const auto commandStatus = StatusNumber(status->command, failure);
  if (!commandStatus) return std::nullopt;
  response.operationStatus = *operationStatus;
  response.commandStatus = *commandStatus;
  response.frameBytes = envelope->Parameter(4);
  auto frame = ReadInnerFrame(response.frameBytes, response.commandId, failure);
  if (!frame) return std::nullopt;
  response.frame = *frame;
  return response;
}

OrvaneResponse OrvaneResponse::Parse(const Bytes& bytes) {
  ParseFailure failure;
  auto response = TryParse(bytes, &failure);
  if (!response) failure.Raise();
  return std::move(*response);
}

std::optional<OrvaneResponse> OrvaneResponse::TryParse(const Bytes& bytes, ParseFailure* failure) {
  const auto view = ReadResponse(ViewOf(bytes), failure);
  if (!view) return std::nullopt;
  OrvaneResponse response;
  response.commandId = view->commandId;
  response.commandStatus = view->commandStatus;
  response.operationStatus = view->operationStatus;
  response.messageText = BytesToHexString(bytes);
  response.frame = *CopyInnerFrame(view->frameBytes, view->commandId);
  return response;
}

OrvaneResponse OrvaneResponse::FromHex(const std::string& hex) { return Parse(HexStringToBytes(hex)); }

Bytes OrvaneResponse::GetParameterByTag(uint8_t tag) const { return frame.GetParameter(StoredKeyOfTag(tag)); }

Bytes OrvaneResponse::GetParameterByPath(const std::string& path) const { return SelectByTagPath(frame, path); }

int32_t OrvaneResponse::StatusCode() const { return CombinedStatus(operationStatus, commandStatus); }

int32_t ResponseView::StatusCode() const { return CombinedStatus(operationStatus, commandStatus); }

}  // namespace quorlan
