// The library-owned buffers that hold every text an export returns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace quorlan {

// A block of fixed size in which texts are placed one after the other, each
// taking its length plus 22 bytes, restarting at the front when the next one
// does not fit. A text too large for the whole block gets a heap block of its
// own, kept until the next such text of the same buffer replaces it.
class OutputBuffer {
 public:
  static constexpr uint32_t kCapacity = 0x400000;
  static constexpr uint32_t kSlack = 22;

  explicit OutputBuffer(uint32_t capacity = kCapacity);

  const char* Store(const std::string& text);

  const char* Start() const { return start_.get(); }

 private:
  std::mutex mutex_;
  std::unique_ptr<char[]> start_;
  const uint32_t capacity_;
  uint32_t fill_ = 0;
  std::unique_ptr<char[]> oversized_;
};

enum OutputBufferIndex {
  kResultBuffer = 0,
  kCommandBytesBuffer = 1,
  kDeviceListBuffer = 2,
};

// Stores the text in one of the library's three buffers and returns its place.
const char* StoreInOutputBuffer(const std::string& text, OutputBufferIndex index);

// The text every failing export returns.
extern const char kEmptyText[];

}  // namespace quorlan
