#include "sim_messages.h"

#include <stdexcept>

#include "quorlan/message/hex_text.h"
#include "quorlan/message/message_frame.h"

namespace reader_sim {
namespace {

quorlan::OrvaneAPIFrameWork InnerFrame(uint16_t type, const InnerParameters& parameters) {
  quorlan::OrvaneAPIFrameWork frame(type);
  for (const auto& [tag, value] : parameters) {
    const int key = quorlan::ParameterKeyOfTag(tag);
    if (key <= 0) throw std::invalid_argument("no parameter has tag " + std::to_string(tag));
    frame.SetParameter(key, value);
  }
  return frame;
}

Bytes Envelope(Bytes parameter1, std::map<int, Bytes> more) {
  quorlan::OrvaneAPIFrameWork frame(kEnvelopeType);
  frame.SetParameter(1, std::move(parameter1));
  for (auto& [key, value] : more) frame.SetParameter(key, std::move(value));
  return frame.Serialize();
}

}  // namespace

Bytes BuildResponse(uint16_t commandCode, uint8_t sequence, Status status, const InnerParameters& parameters) {
  std::map<int, Bytes> more;
  more[2] = {status.operationStatus, static_cast<uint8_t>(status.commandStatus >> 16),
             static_cast<uint8_t>(status.commandStatus >> 8), static_cast<uint8_t>(status.commandStatus)};
  if (!parameters.empty()) more[4] = InnerFrame(commandCode, parameters).Serialize();
  return Envelope({kResponse, sequence, static_cast<uint8_t>(commandCode >> 8), static_cast<uint8_t>(commandCode)},
                  std::move(more));
}

Bytes BuildNotification(uint16_t id, uint32_t code, const InnerParameters& parameters) {
  std::map<int, Bytes> more;
  more[2] = BigEndian32(code);
  if (!parameters.empty()) more[4] = InnerFrame(id, parameters).Serialize();
  return Envelope({kNotification, 0x00, static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id)}, std::move(more));
}

Bytes BuildFileMessage(uint16_t code, uint32_t fileId, const Bytes& payload) {
  return Envelope(Concat({{kFile, 0x00, static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code)},
                          BigEndian32(fileId)}),
                  {{4, payload}});
}

Bytes BigEndian32(uint32_t value) {
  return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value)};
}

Bytes Tlv(uint8_t tag, const Bytes& value) {
  Bytes out{tag};
  const auto length = quorlan::BerLengthBytes(static_cast<uint32_t>(value.size()));
  out.insert(out.end(), length.begin(), length.end());
  out.insert(out.end(), value.begin(), value.end());
  return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes FromHex(const std::string& hex) { return quorlan::HexStringToBytes(hex); }
std::string ToHex(const Bytes& bytes) { return quorlan::BytesToHexString(bytes); }

Bytes ReceivedMessage::Inner(uint8_t tag) const {
  auto found = inner.find(tag);
  return found == inner.end() ? Bytes{} : found->second;
}

ReceivedMessage ReadHostMessage(const Bytes& raw) {
  ReceivedMessage message;
  message.raw = raw;
  message.at = std::chrono::steady_clock::now();
  // Only the two envelope types are read as frames; anything else stays raw.
  if (raw.size() < 3 || raw[0] != 0xAA || (raw[1] != 0x00 && raw[1] != 0xFF)) return message;
  const auto frame = quorlan::OrvaneAPIFrameWork::Parse(raw);
  const Bytes parameter1 = frame.GetParameter(1);
  if (parameter1.empty()) return message;
  message.isFrame = true;
  message.frameType = frame.type;
  message.kind = parameter1[0] & 0x7F;
  if (parameter1.size() >= 2) message.sequence = parameter1[1];
  if (parameter1.size() >= 4) message.commandCode = static_cast<uint16_t>(parameter1[2] << 8 | parameter1[3]);
  message.inner = FrameParameters(frame.GetParameter(4));
  return message;
}

InnerParameters FrameParameters(const Bytes& frame) {
  InnerParameters parameters;
  if (frame.size() < 3) return parameters;
  // Parsed keys all have a tag of their own.
  for (const auto& [key, value] : quorlan::OrvaneAPIFrameWork::Parse(frame).parameters) {
    parameters[quorlan::TagOfParameterKey(key)] = value;
  }
  return parameters;
}

}  // namespace reader_sim
