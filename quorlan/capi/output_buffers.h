// The library-owned buffers that hold every text an export returns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>

#include "quorlan/message/hex_text.h"

namespace quorlan {

// A block of fixed size in which texts are placed one after the other, each
// taking its length plus 22 bytes (the text, its terminating zero and 21
// more zeros), restarting at the front when the next one does not fit. A
// text too large for the whole block goes to a block of its own, which the
// next such text of the same buffer overwrites (or replaces, when larger).
// Each text is written once, under the buffer's lock.
class OutputBuffer {
 public:
  static constexpr uint32_t kCapacity = 0x400000;
  static constexpr uint32_t kSlack = 22;

  explicit OutputBuffer(uint32_t capacity = kCapacity);

  const char* Store(const std::string& text);
  // The bytes of the pieces, one after the other, as hexadecimal text.
  const char* StoreHex(std::initializer_list<ByteView> pieces);

  const char* Start() const { return start_.get(); }

 private:
  // Under the lock: where the next text of `length` characters goes.
  char* Reserve(size_t length);
  template <class Write>
  const char* Place(size_t length, Write write);

  std::mutex mutex_;
  std::unique_ptr<char[]> start_;
  const uint32_t capacity_;
  uint32_t fill_ = 0;
  std::unique_ptr<char[]> oversized_;
  size_t oversizedCapacity_ = 0;
};

enum OutputBufferIndex {
  kResultBuffer = 0,
  kCommandBytesBuffer = 1,
  kDeviceListBuffer = 2,
};

// Stores the text in one of the library's three buffers and returns its place.
const char* StoreInOutputBuffer(const std::string& text, OutputBufferIndex index);
// The same for the hexadecimal text of the bytes (of the pieces one after the
// other), without a text in between.
const char* StoreHexInOutputBuffer(std::initializer_list<ByteView> pieces, OutputBufferIndex index);

// The text every failing export returns.
extern const char kEmptyText[];

}  // namespace quorlan
