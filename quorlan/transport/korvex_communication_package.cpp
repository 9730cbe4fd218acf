#include "quorlan/transport/korvex_communication_package.h"

#include <algorithm>
#include <array>

namespace quorlan {
namespace {

// A stream link does not care where writes end, so packets go out in runs:
// one write per packet would cost a system call every 64 bytes.
constexpr size_t kPacketsPerWrite = 256;

}  // namespace

bool KorvexCommunicationPackage::Send(std::vector<uint8_t> data, Writer writer, Progress progress) {
  // Its continuation numbers would wrap.
  if (data.size() > kMaxMessageLength) return false;
  const bool singlePacket = data.size() <= kSinglePacketLimit;
  return sendGate_.Run(
      [this, data = std::move(data), writer = std::move(writer), progress = std::move(progress)] {
        return WritePackets(data.data(), data.size(), writer, progress);
      },
      singlePacket);
}

bool KorvexCommunicationPackage::WritePackets(const uint8_t* message, size_t length, const Writer& writer,
                                              const Progress& progress) {
  const size_t count = PacketCount(length);
  // Cut run by run: packets of a whole message would need a fresh buffer of
  // its size, whose pages cost more than the copying.
  std::array<uint8_t, kPacketsPerWrite * kPacketSize> run;
  for (size_t first = 0; first < count; first += kPacketsPerWrite) {
    const size_t end = std::min(count, first + kPacketsPerWrite);
    size_t size = 0;
    for (size_t i = first; i < end; ++i) size += WritePacket(message, length, i, run.data() + size);
    // After a failed write the rest of the message is lost anyway; going on
    // would only wait out the link's time-out once per write.
    if (writer && writer(run.data(), static_cast<unsigned>(size)) != 0) return false;
    if (!progress) continue;
    for (size_t written = first + 1; written <= end; ++written) {
      progress(static_cast<double>(written) / static_cast<double>(count));
    }
  }
  return true;
}

void KorvexCommunicationPackage::OnReceived(std::vector<uint8_t> block) {
  if (!streamTail_.empty()) {
    streamTail_.insert(streamTail_.end(), block.begin(), block.end());
    block.swap(streamTail_);
  }
  const uint8_t* data = block.data();
  const size_t size = block.size();
  size_t position = 0;
  while (size - position >= kPacketSize) {
    if (inStep_) {
      const StreamExpectation before = expectation_;
      const StepFit fit = FitsInStep(data + position, size - position, &expectation_);
      if (fit == StepFit::kUndecided) break;
      if (fit == StepFit::kFollowerMisfits) {
        // These bytes or the ones after them are stray: the packet stands
        // unless packets that fit together begin inside it.
        const StreamStep inside = FindStreamStep(data, position + 1, size, before, false);
        if (inside.position < position + kPacketSize) {
          expectation_ = before;
          if (!inside.found) break;
          position = inside.position;
          continue;
        }
        inStep_ = false;
      }
      if (fit != StepFit::kMisfit) {
        HandlePacket(data + position, kPacketSize);
        position += kPacketSize;
        continue;
      }
    }
    const StreamStep step = FindStreamStep(data, inStep_ ? position + 1 : position, size, expectation_);
    position = step.position;
    inStep_ = step.found;
    if (!inStep_) break;
  }
  streamTail_.assign(block.begin() + position, block.end());
}

void KorvexCommunicationPackage::DiscardPartialInput() {
  streamTail_.clear();
  inStep_ = true;
  expectation_ = {};
  fragments_.clear();
  announcedLength_ = 0;
}

void KorvexCommunicationPackage::HandlePieces(const uint8_t* data, size_t length) {
  for (size_t position = 0; position < length; position += kPacketSize) {
    const size_t size = std::min(kPacketSize, length - position);
    HandlePacket(data + position, size);
  }
}

void KorvexCommunicationPackage::HandlePacket(const uint8_t* p, size_t size) {
  if (size == 0) return;
  switch (p[0]) {
    case kSinglePacket:
      if (size >= 2 && size_t{2} + p[1] <= size) DeliverBytes(p + 2, p[1]);
      break;
    case kStartPacket:
      if (size < 5 + kStartPayloadSize) break;
      fragments_.clear();
      announcedLength_ = ReadBigEndian(p + 1, 4);
      fragments_[0].assign(p + 5, p + 5 + kStartPayloadSize);
      break;
    case kContinuationPacket:
      if (size < 3 + kContinuationPayloadSize) break;
      fragments_[static_cast<uint16_t>(ReadBigEndian(p + 1, 2))].assign(p + 3, p + 3 + kContinuationPayloadSize);
      break;
    case kEndPacket:
      if (size >= 2 && size_t{2} + p[1] <= size) CompleteMessage(p + 2, p[1]);
      break;
    default:
      break;
  }
}

void KorvexCommunicationPackage::CompleteMessage(const uint8_t* payload, size_t length) {
  // One past the last continuation: 65536 after a full run of 16-bit numbers.
  const auto last = static_cast<uint32_t>(fragments_.size());
  fragments_[last].assign(payload, payload + length);
  size_t total = 0;
  for (const auto& [key, bytes] : fragments_) {
    if (key <= last) total += bytes.size();
  }
  const bool complete = total == announcedLength_;
  std::vector<uint8_t> message;
  if (complete) {
    message.reserve(total);
    for (const auto& [key, bytes] : fragments_) {
      if (key <= last) message.insert(message.end(), bytes.begin(), bytes.end());
    }
  }
  fragments_.clear();
  announcedLength_ = 0;
  if (complete) DeliverMessage(std::move(message));
}

}  // namespace quorlan
