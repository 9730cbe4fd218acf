#include "sim_uploads.h"

#include <mutex>
#include <optional>

#include "quorlan/message/message_frame.h"

namespace reader_sim {
namespace {

constexpr uint16_t kChallenge = 0xE001;
constexpr uint16_t kSecureAnnouncement = 0xD811;
// The signed request names the frame type of the message it signs, which
// for a command is the envelope's.
constexpr uint16_t kSignedRequest = 0xAA00;
constexpr uint16_t kAnnouncement = 0xD812;
constexpr Status kRefused = {0, 0x21};

// Items of one level: single-byte tags, BER lengths.
InnerParameters ReadItems(const Bytes& data) {
  InnerParameters items;
  for (quorlan::TlvItem& item : quorlan::ParseTlvItems(data.data(), data.size())) {
    items[item.tag] = std::move(item.value);
  }
  return items;
}

Bytes At(const InnerParameters& items, uint8_t tag) {
  auto found = items.find(tag);
  return found == items.end() ? Bytes() : found->second;
}

Announcement Announced(uint16_t code, const InnerParameters& parameters) {
  Announcement a;
  a.code = code;
  a.fileId = At(parameters, 0x81);
  const InnerParameters sizeAndDigest = ReadItems(At(parameters, 0xA2));
  a.size = At(sizeAndDigest, 0x81);
  a.algorithm = At(sizeAndDigest, 0x82);
  a.digest = At(sizeAndDigest, 0x83);
  a.name = At(ReadItems(At(parameters, 0xA3)), 0x81);
  return a;
}

uint64_t BigEndian(const Bytes& bytes) {
  uint64_t value = 0;
  for (uint8_t b : bytes) value = value << 8 | b;
  return value;
}

}  // namespace

struct UploadDesk::State {
  UploadScript script;
  mutable std::mutex mutex;
  std::optional<Announcement> pending;
  std::vector<Upload> uploads;

  Reply Accept(Announcement announced) {
    std::lock_guard<std::mutex> lock(mutex);
    const Status status = script.announcement;
    if (status.operationStatus == 0 && status.commandStatus == 0) pending = std::move(announced);
    return Reply::WithStatus(status.operationStatus, status.commandStatus);
  }

  std::string Check(const Announcement& a, uint32_t fileNumber, uint16_t code, const Bytes& content) const {
    if (a.code != code) return "code differs from the announcement";
    if (a.fileId.size() > 4 || BigEndian(a.fileId) != fileNumber) return "file number differs from the id";
    if (BigEndian(a.size) != content.size()) return "size differs";
    if (a.algorithm != Bytes{0x04}) return "digest algorithm is not SHA-256";
    if (script.sha256 && a.digest != script.sha256(content)) return "digest differs";
    const std::string idText = ToHex(a.fileId);
    if (a.name != Bytes(idText.begin(), idText.end())) return "name is not the id text";
    return "";
  }

  std::vector<Bytes> Receive(const ReceivedMessage& message) {
    if (!message.isFrame || message.kind != kFile) return {};
    const quorlan::OrvaneAPIFrameWork frame = quorlan::OrvaneAPIFrameWork::Parse(message.raw);
    const Bytes header = frame.GetParameter(1);
    Upload upload;
    if (header.size() >= 8) {
      upload.fileNumber = static_cast<uint32_t>(BigEndian(Bytes(header.begin() + 4, header.begin() + 8)));
    }
    upload.content = frame.GetParameter(4);
    std::lock_guard<std::mutex> lock(mutex);
    if (pending) {
      upload.announced = *pending;
      upload.fault = Check(*pending, upload.fileNumber, message.commandCode, upload.content);
    } else {
      upload.fault = "no announcement";
    }
    pending.reset();
    const Status status = upload.fault.empty() ? script.content : kRefused;
    uploads.push_back(std::move(upload));
    return {BuildResponse(message.commandCode, message.sequence, status, {})};
  }
};

UploadDesk::UploadDesk(SimulatedReader& reader, UploadScript script) : state_(std::make_shared<State>()) {
  state_->script = std::move(script);
  std::shared_ptr<State> state = state_;
  reader.SetReply(kChallenge, Reply::Ok({{0x82, state->script.parameter82}, {0x83, state->script.token}}));
  reader.SetResponder(kAnnouncement, [state](const ReceivedMessage& message) {
    return std::optional<Reply>(state->Accept(Announced(kAnnouncement, message.inner)));
  });
  reader.SetResponder(kSignedRequest, [state](const ReceivedMessage& message) {
    // The signed block: 82, 83, 84 (the announcement's own frame), A1 and the MAC.
    Announcement announced = Announced(kSecureAnnouncement, FrameParameters(message.Inner(0x84)));
    announced.parameter82 = message.Inner(0x82);
    announced.token = message.Inner(0x83);
    announced.a1 = message.Inner(0xA1);
    if (announced.token != state->script.token || announced.parameter82 != state->script.parameter82) {
      return std::optional<Reply>(Reply::WithStatus(kRefused.operationStatus, kRefused.commandStatus));
    }
    return std::optional<Reply>(state->Accept(std::move(announced)));
  });
  reader.SetOtherHandler([state](const ReceivedMessage& message) { return state->Receive(message); });
}

std::vector<Upload> UploadDesk::Uploads() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->uploads;
}

}  // namespace reader_sim
