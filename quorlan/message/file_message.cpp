#include "quorlan/message/file_message.h"

#include <cstdio>

#include "quorlan/message/command_envelope.h"
#include "quorlan/message/incoming_message.h"

namespace quorlan {
namespace {

constexpr size_t kFileHeaderSize = 8;

}  // namespace

std::optional<FileMessageView> ReadFileMessage(ByteView bytes, ParseFailure* failure) {
  using Kind = ParseFailure::Kind;
  const auto frame = ReadIncomingFrame(bytes, failure);
  if (!frame) return std::nullopt;
  const ByteView header = frame->Parameter(1);
  if (header.size != kFileHeaderSize) return Fail(failure, {Kind::kRuntime, "Invalid file message header"});
  if (MessageKindOf(header) != kMessageKindFile) return Fail(failure, {Kind::kRuntime, "Message Type is not file"});
  FileMessageView message;
  message.payload = frame->Parameter(4);
  if (message.payload.empty()) return Fail(failure, {Kind::kRuntime, "File message must have a payload - P4!"});
  message.code = BigEndian16(header, 2);
  message.fileId = static_cast<uint32_t>(BigEndian16(header, 4)) << 16 | BigEndian16(header, 6);
  return message;
}

OrvaneFileMessage OrvaneFileMessage::Build(uint32_t fileId, Bytes payload, uint16_t code) {
  OrvaneFileMessage message;
  message.type = kEnvelopeFrameType;
  message.fileId = fileId;
  message.code = code;
  char header[2 * kFileHeaderSize + 1];
  std::snprintf(header, sizeof header, "0400%04X%08X", static_cast<unsigned>(code), static_cast<unsigned>(fileId));
  message.SetParameterHex(1, header);
  message.SetParameter(4, payload);
  message.payload = std::move(payload);
  return message;
}

Bytes FileMessageBytesBeforePayload(uint32_t fileId, size_t payloadSize, uint16_t code) {
  // Parameter 4 comes last, so the message of an empty payload ends with its zero length.
  Bytes bytes = OrvaneFileMessage::Build(fileId, Bytes(), code).Serialize();
  bytes.pop_back();
  const Bytes length = BerLengthBytes(static_cast<uint32_t>(payloadSize));
  bytes.insert(bytes.end(), length.begin(), length.end());
  return bytes;
}

OrvaneFileMessage OrvaneFileMessage::Parse(const Bytes& bytes) {
  ParseFailure failure;
  auto message = TryParse(bytes, &failure);
  if (!message) failure.Raise();
  return std::move(*message);
}

std::optional<OrvaneFileMessage> OrvaneFileMessage::TryParse(const Bytes& bytes, ParseFailure* failure) {
  const auto view = ReadFileMessage(ViewOf(bytes), failure);
  if (!view) return std::nullopt;
  OrvaneFileMessage message;
  static_cast<OrvaneAPIFrameWork&>(message) = *OrvaneAPIFrameWork::TryParse(bytes);
  message.code = view->code;
  message.fileId = view->fileId;
  message.payload = view->payload.ToBytes();
  return message;
}

}  // namespace quorlan
