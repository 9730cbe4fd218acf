#include "sim_packets.h"

namespace reader_sim {
namespace {

constexpr size_t kPacket = 64;
constexpr size_t kFirstChunk = 59;
constexpr size_t kMiddleChunk = 61;
constexpr size_t kSingleMax = 62;

void AppendPacket(Bytes& out, std::initializer_list<uint8_t> header, const uint8_t* payload, size_t count) {
  const size_t start = out.size();
  out.insert(out.end(), header);
  out.insert(out.end(), payload, payload + count);
  out.resize(start + kPacket, 0);
}

}  // namespace

Bytes PacketiseForReader(const Bytes& message) {
  Bytes out;
  const size_t total = message.size();
  const uint8_t* data = message.data();
  if (total <= kSingleMax) {
    AppendPacket(out, {0x00, static_cast<uint8_t>(total)}, data, total);
    return out;
  }
  AppendPacket(out,
               {0x01, static_cast<uint8_t>(total >> 24), static_cast<uint8_t>(total >> 16),
                static_cast<uint8_t>(total >> 8), static_cast<uint8_t>(total)},
               data, kFirstChunk);
  size_t sent = kFirstChunk;
  unsigned sequence = 1;
  // The last piece (1 to 61 bytes) always travels in an end packet.
  while (total - sent > kMiddleChunk) {
    AppendPacket(out, {0x02, static_cast<uint8_t>(sequence >> 8), static_cast<uint8_t>(sequence)}, data + sent,
                 kMiddleChunk);
    sent += kMiddleChunk;
    ++sequence;
  }
  AppendPacket(out, {0x03, static_cast<uint8_t>(total - sent)}, data + sent, total - sent);
  return out;
}

void PacketStreamParser::Feed(const uint8_t* data, size_t length) {
  pending_.insert(pending_.end(), data, data + length);
  for (;;) {
    const size_t available = pending_.size() - pendingStart_;
    const size_t packetLength = FrontPacketLength();
    if (packetLength == 0 || packetLength > available) break;
    HandlePacket(pending_.data() + pendingStart_, packetLength);
    pendingStart_ += packetLength;
  }
  if (pendingStart_ == pending_.size()) {
    pending_.clear();
    pendingStart_ = 0;
  } else if (pendingStart_ > 1 << 20) {
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pendingStart_));
    pendingStart_ = 0;
  }
}

size_t PacketStreamParser::FrontPacketLength() const {
  const size_t available = pending_.size() - pendingStart_;
  if (available == 0) return 0;
  const uint8_t kind = pending_[pendingStart_];
  if (kind == 0x01 || kind == 0x02) return kPacket;
  if (kind == 0x00 || kind == 0x03) return available < 2 ? 0 : 2 + size_t{pending_[pendingStart_ + 1]};
  return 1;  // a stray byte: reported and skipped
}

void PacketStreamParser::HandlePacket(const uint8_t* packet, size_t length) {
  switch (packet[0]) {
    case 0x00:
      if (length - 2 > kSingleMax) errors_.push_back("single packet longer than 62 bytes");
      complete_.emplace_back(packet + 2, packet + length);
      return;
    case 0x01:
      if (collecting_) errors_.push_back("start packet inside a message");
      collecting_ = true;
      expectedLength_ = uint32_t{packet[1]} << 24 | uint32_t{packet[2]} << 16 | uint32_t{packet[3]} << 8 | packet[4];
      nextSequence_ = 1;
      message_.assign(packet + 5, packet + kPacket);
      return;
    case 0x02: {
      const unsigned sequence = unsigned{packet[1]} << 8 | packet[2];
      if (!collecting_) {
        errors_.push_back("continuation packet without a start packet");
        return;
      }
      if (sequence != nextSequence_) errors_.push_back("continuation " + std::to_string(sequence) + " out of order");
      ++nextSequence_;
      message_.insert(message_.end(), packet + 3, packet + kPacket);
      return;
    }
    case 0x03:
      if (!collecting_) {
        errors_.push_back("end packet without a start packet");
        return;
      }
      collecting_ = false;
      message_.insert(message_.end(), packet + 2, packet + length);
      if (message_.size() != expectedLength_) {
        errors_.push_back("message of " + std::to_string(message_.size()) + " bytes announced as " +
                          std::to_string(expectedLength_));
      } else {
        complete_.push_back(std::move(message_));
      }
      message_.clear();
      return;
    default:
      errors_.push_back("stray byte " + std::to_string(packet[0]));
  }
}

std::vector<Bytes> PacketStreamParser::TakeMessages() {
  std::vector<Bytes> taken;
  taken.swap(complete_);
  return taken;
}

std::vector<std::string> PacketStreamParser::TakeErrors() {
  std::vector<std::string> taken;
  taken.swap(errors_);
  return taken;
}

}  // namespace reader_sim
