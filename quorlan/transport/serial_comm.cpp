#include "quorlan/transport/serial_comm.h"

#include <algorithm>
#include <cstring>

namespace quorlan {

SerialComm::SerialComm() { ring_.data.reset(new uint8_t[kRingCapacity]); }

void SerialComm::OnDataReceived(const uint8_t* data, unsigned length) {
  DataCallback callback;
  {
    std::lock_guard<std::mutex> lock(callbackMutex_);
    callback = dataCallback_;
  }
  if (callback) {
    callback(const_cast<uint8_t*>(data), length);
  } else {
    Append(data, length);
  }
}

void SerialComm::SetDataCallback(DataCallback callback) {
  std::lock_guard<std::mutex> lock(callbackMutex_);
  dataCallback_ = std::move(callback);
}

void SerialComm::SetStateCallback(StateCallback callback) {
  std::lock_guard<std::mutex> lock(callbackMutex_);
  stateCallback_ = std::move(callback);
}

SerialComm::StateCallback SerialComm::CurrentStateCallback() {
  std::lock_guard<std::mutex> lock(callbackMutex_);
  return stateCallback_;
}

void SerialComm::Append(const uint8_t* data, unsigned length) {
  if (length == 0) return;
  std::lock_guard<std::mutex> lock(ringMutex_);
  const uint32_t capacity = ring_.capacity;
  if (length >= capacity) {
    std::memcpy(ring_.data.get(), data + (length - capacity), capacity);
    ring_.readIndex = 0;
    ring_.lastIndex = capacity - 1;
    ring_.count = capacity;
    return;
  }
  const bool wasEmpty = ring_.count == 0;
  uint32_t write = wasEmpty ? 0 : (ring_.lastIndex + 1) % capacity;
  if (ring_.count + length > capacity) {
    uint32_t dropped = ring_.count + length - capacity;
    ring_.readIndex = (ring_.readIndex + dropped) % capacity;
    ring_.count -= dropped;
  }
  uint32_t first = std::min(length, capacity - write);
  std::memcpy(ring_.data.get() + write, data, first);
  std::memcpy(ring_.data.get(), data + first, length - first);
  if (wasEmpty) {
    ring_.readIndex = 0;
    ring_.lastIndex = length - 1;
  } else {
    ring_.lastIndex = (ring_.lastIndex + length) % capacity;
  }
  ring_.count = std::min(capacity, ring_.count + length);
}

void SerialComm::Read(uint8_t* out, unsigned* length) {
  std::lock_guard<std::mutex> lock(ringMutex_);
  const uint32_t capacity = ring_.capacity;
  uint32_t n = std::min<uint32_t>(*length, ring_.count);
  uint32_t first = std::min(n, capacity - ring_.readIndex);
  std::memcpy(out, ring_.data.get() + ring_.readIndex, first);
  std::memcpy(out + first, ring_.data.get(), n - first);
  if (n < ring_.count) {
    ring_.readIndex = (ring_.readIndex + n) % capacity;
    ring_.count -= n;
  } else {
    ring_.readIndex = ring_.lastIndex = ring_.count = 0;
  }
  *length = n;
}

uint32_t SerialComm::BufferedCount() {
  std::lock_guard<std::mutex> lock(ringMutex_);
  return ring_.count;
}

bool SerialComm::GetDeviceList(DeviceListEntry, std::string) { return false; }
int SerialComm::Open() { return kConnectionFailed; }
int SerialComm::Close() { return kConnectionFailed; }
bool SerialComm::IsConnected() { return false; }
int SerialComm::Write(const uint8_t*, unsigned) { return kConnectionFailed; }

int SerialComm::ReadAvailable(uint8_t* out, unsigned* length) {
  Read(out, length);
  return BufferedCount() > 0 ? kConnectionMoreBuffered : kConnectionOk;
}

}  // namespace quorlan
