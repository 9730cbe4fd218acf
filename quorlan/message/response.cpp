#include "quorlan/message/response.h"

#include <stdexcept>

#include "quorlan/message/ber_tlv.h"
#include "quorlan/message/incoming_message.h"
#include "quorlan/message/tag_path.h"

namespace quorlan {
namespace {

constexpr int kStatusListKey = 0x21;

struct StatusTexts {
  std::string command;
  std::string operation;
};

StatusTexts StatusTextsOf(const OrvaneAPIFrameWork& envelope) {
  const Bytes statusList = envelope.GetParameter(kStatusListKey);
  if (!statusList.empty()) {
    const TlvNodes nodes = ParseBerTlvFlat(statusList);
    return {FindTlvValue(nodes, "81"), FindTlvValue(nodes, "82")};
  }
  // Byte 0 is the operation status, bytes 1 to 3 the command status.
  const Bytes status = envelope.GetParameter(2);
  if (status.size() < 4) throw std::runtime_error("Cannot find response status");
  const std::string hex = BytesToHexString(status);
  return {hex.substr(2, 6), hex.substr(0, 2)};
}

int StatusNumber(const std::string& text) { return std::stoi(text, nullptr, 16); }

}  // namespace

OrvaneResponse OrvaneResponse::Parse(const Bytes& bytes) {
  const OrvaneAPIFrameWork envelope = ParseIncomingFrame(bytes);
  const Bytes header = envelope.GetParameter(1);
  if (header.empty()) throw std::out_of_range("response without parameter 1");
  if (MessageKindOf(header) != kMessageKindResponse) throw std::runtime_error("Invalid message type");
  if (header.size() < 4) throw std::out_of_range("response parameter 1 too short");

  OrvaneResponse response;
  response.commandId = BigEndian16(header, 2);
  const StatusTexts status = StatusTextsOf(envelope);
  response.messageText = BytesToHexString(bytes);
  response.operationStatus = StatusNumber(status.operation);
  response.commandStatus = StatusNumber(status.command);
  response.frame = InnerFrameOf(envelope.GetParameter(4), response.commandId);
  return response;
}

OrvaneResponse OrvaneResponse::FromHex(const std::string& hex) { return Parse(HexStringToBytes(hex)); }

Bytes OrvaneResponse::GetParameterByTag(uint8_t tag) const { return frame.GetParameter(StoredKeyOfTag(tag)); }

Bytes OrvaneResponse::GetParameterByPath(const std::string& path) const { return SelectByTagPath(frame, path); }

int32_t OrvaneResponse::StatusCode() const {
  return static_cast<int32_t>(static_cast<uint32_t>(operationStatus) * 256u + static_cast<uint32_t>(commandStatus));
}

}  // namespace quorlan
