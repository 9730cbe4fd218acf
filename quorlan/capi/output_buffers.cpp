#include "quorlan/capi/output_buffers.h"

#include <cstring>

namespace quorlan {

const char kEmptyText[] = "";

OutputBuffer::OutputBuffer(uint32_t capacity) : start_(new char[capacity]), capacity_(capacity) {}

const char* OutputBuffer::Store(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  const uint64_t need = static_cast<uint64_t>(text.size()) + kSlack;
  char* place;
  if (need > capacity_) {
    oversized_.reset(new char[need]);
    place = oversized_.get();
  } else {
    if (fill_ + need <= capacity_) {
      place = start_.get() + fill_;
      fill_ += static_cast<uint32_t>(need);
    } else {
      place = start_.get();
      fill_ = static_cast<uint32_t>(need);
    }
  }
  std::memset(place, 0, need);
  std::memcpy(place, text.c_str(), text.size() + 1);
  return place;
}

namespace {

// Never destroyed: a queue worker left running by a device closed from its
// own callback, or a status thread, may still store a text while the
// process exits.
OutputBuffer* const outputBuffers = new OutputBuffer[3];

}  // namespace

const char* StoreInOutputBuffer(const std::string& text, OutputBufferIndex index) {
  return outputBuffers[index].Store(text);
}

}  // namespace quorlan
