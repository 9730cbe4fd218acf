// Messages over a byte stream without packet boundaries (a serial port):
// each message is cut into chunks, each chunk framed as
// [kind][length, 4 bytes big-endian][bytes] and sent as a stuffed frame.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "quorlan/transport/communication_package.h"

namespace quorlan {

class SerialCommunicationPackage : public IKVCommunicationPackage {
 public:
  static constexpr int32_t kDefaultChunkLimit = 0x20000;
  // Stuffed frames are handed to the writer in pieces of this size.
  static constexpr size_t kWritePieceSize = 1024;

  // Frame kinds.
  static constexpr uint8_t kKindChunk = 0x00;
  static constexpr uint8_t kKindMessage = 0x02;
  static constexpr uint8_t kKindChunkLimit = 0x03;

  // Writes one frame per chunk of at most ChunkLimit() bytes. Progress goes
  // from the first piece written to 1.0 at the last. Nothing is written for
  // an empty message. An empty writer throws std::bad_function_call. The
  // first failed write ends the message.
  bool Send(std::vector<uint8_t> data, Writer writer, Progress progress) override;

  // Collects bytes until frames are complete; delivers each message frame
  // whose length is right and takes the reader's chunk limit from its
  // chunk-limit frames. Anything else is dropped.
  void OnReceived(std::vector<uint8_t> block) override;

  int32_t ChunkLimit() const { return chunkLimit_.load(); }

 private:
  struct LockedByteBuffer {
    std::mutex mutex;
    std::vector<uint8_t> bytes;
    // How many bytes from the front are known to hold no closing delimiter,
    // so that a long frame arriving in small blocks is not searched again
    // from its start for every block.
    size_t searched = 0;
  };

  // Raw frames completed by the buffered bytes, each from its opening
  // delimiter; the bytes they used leave the buffer.
  std::vector<std::vector<uint8_t>> TakeCompleteFrames(const std::vector<uint8_t>& block);
  void HandleFrame(const std::vector<uint8_t>& raw);

  std::atomic<int32_t> chunkLimit_{kDefaultChunkLimit};
  LockedByteBuffer received_;
};

}  // namespace quorlan
