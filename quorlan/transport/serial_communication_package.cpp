#include "quorlan/transport/serial_communication_package.h"

#include <algorithm>
#include <limits>

#include "quorlan/transport/serial_frame.h"

namespace quorlan {
namespace {

constexpr size_t kHeaderSize = 5;

std::vector<uint8_t> ChunkContent(const uint8_t* chunk, uint32_t length) {
  std::vector<uint8_t> content;
  content.reserve(kHeaderSize + length);
  content.push_back(SerialCommunicationPackage::kKindChunk);
  for (int shift = 24; shift >= 0; shift -= 8) content.push_back(static_cast<uint8_t>(length >> shift));
  content.insert(content.end(), chunk, chunk + length);
  return content;
}

uint32_t BigEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
         static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

}  // namespace

bool SerialCommunicationPackage::Send(std::vector<uint8_t> data, Writer writer, Progress progress) {
  if (data.empty()) return true;
  // Read once, so a new limit arriving meanwhile does not change this message.
  const size_t limit = static_cast<size_t>(chunkLimit_.load());
  const size_t chunkCount = (data.size() + limit - 1) / limit;
  for (size_t chunk = 0; chunk < chunkCount; ++chunk) {
    const size_t begin = chunk * limit;
    const auto length = static_cast<uint32_t>(std::min(limit, data.size() - begin));
    std::vector<uint8_t> frame = StuffFrame(ChunkContent(data.data() + begin, length));
    const size_t pieceCount = (frame.size() + kWritePieceSize - 1) / kWritePieceSize;
    for (size_t piece = 0; piece < pieceCount; ++piece) {
      const size_t offset = piece * kWritePieceSize;
      if (writer(frame.data() + offset, static_cast<unsigned>(std::min(kWritePieceSize, frame.size() - offset))) != 0) {
        return false;
      }
      if (progress) {
        // One division, so the last piece gives exactly 1.0.
        progress(static_cast<double>(chunk * pieceCount + piece + 1) /
                 static_cast<double>(chunkCount * pieceCount));
      }
    }
  }
  return true;
}

void SerialCommunicationPackage::OnReceived(std::vector<uint8_t> block) {
  for (const std::vector<uint8_t>& raw : TakeCompleteFrames(block)) HandleFrame(raw);
}

std::vector<std::vector<uint8_t>> SerialCommunicationPackage::TakeCompleteFrames(
    const std::vector<uint8_t>& block) {
  std::vector<std::vector<uint8_t>> frames;
  std::lock_guard<std::mutex> lock(received_.mutex);
  std::vector<uint8_t>& bytes = received_.bytes;
  bytes.insert(bytes.end(), block.begin(), block.end());
  const auto searched = bytes.begin() + static_cast<std::ptrdiff_t>(received_.searched);
  auto start = std::find(bytes.begin(), bytes.end(), kFrameDelimiter);
  while (start != bytes.end()) {
    auto end = std::find(std::max(start + 1, searched), bytes.end(), kFrameDelimiter);
    if (end == bytes.end()) break;
    frames.emplace_back(start, end);
    // The closing delimiter opens the next frame.
    start = end;
  }
  // Bytes before the first delimiter can never belong to a frame; what is
  // left is one open frame, searched to its end.
  bytes.erase(bytes.begin(), start);
  received_.searched = bytes.size();
  return frames;
}

void SerialCommunicationPackage::HandleFrame(const std::vector<uint8_t>& raw) {
  std::optional<std::vector<uint8_t>> content = UnstuffFrame(raw.data(), raw.size());
  if (!content || content->size() <= kHeaderSize) return;
  const uint8_t kind = (*content)[0];
  const uint32_t value = BigEndian32(content->data() + 1);
  if (kind == kKindMessage) {
    if (content->size() - kHeaderSize != value) return;
    DeliverMessage(std::vector<uint8_t>(content->begin() + kHeaderSize, content->end()));
  } else if (kind == kKindChunkLimit) {
    // A limit of 0 would stop Send from advancing, and one beyond the signed
    // 32-bit range is no size: both are ignored.
    if (value == 0 || value > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) return;
    chunkLimit_.store(static_cast<int32_t>(value));
  }
}

}  // namespace quorlan
