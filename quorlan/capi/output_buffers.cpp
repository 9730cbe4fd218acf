#include "quorlan/capi/output_buffers.h"

#include <cstring>
#include <new>

namespace quorlan {

const char kEmptyText[] = "";

OutputBuffer::OutputBuffer(uint32_t capacity) : start_(new char[capacity]), capacity_(capacity) {}

char* OutputBuffer::Reserve(size_t length) {
  if (length > SIZE_MAX - kSlack) throw std::bad_alloc();
  const size_t need = length + kSlack;
  if (need > capacity_) {
    if (need > oversizedCapacity_) {
      oversized_.reset(new char[need]);
      oversizedCapacity_ = need;
    }
    return oversized_.get();
  }
  if (fill_ + need <= capacity_) {
    char* place = start_.get() + fill_;
    fill_ += static_cast<uint32_t>(need);
    return place;
  }
  fill_ = static_cast<uint32_t>(need);
  return start_.get();
}

template <class Write>
const char* OutputBuffer::Place(size_t length, Write write) {
  std::lock_guard<std::mutex> lock(mutex_);
  char* place = Reserve(length);
  write(place);
  std::memset(place + length, 0, kSlack);
  return place;
}

const char* OutputBuffer::Store(const std::string& text) {
  return Place(text.size(), [&](char* place) { std::memcpy(place, text.data(), text.size()); });
}

const char* OutputBuffer::StoreHex(std::initializer_list<ByteView> pieces) {
  size_t length = 0;
  for (const ByteView& piece : pieces) length += 2 * piece.size;
  return Place(length, [&](char* place) {
    for (const ByteView& piece : pieces) {
      EncodeHex(piece.data, piece.size, place);
      place += 2 * piece.size;
    }
  });
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

const char* StoreHexInOutputBuffer(std::initializer_list<ByteView> pieces, OutputBufferIndex index) {
  return outputBuffers[index].StoreHex(pieces);
}

}  // namespace quorlan
