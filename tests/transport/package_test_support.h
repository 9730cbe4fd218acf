// Shared helpers of the package tests: messages, a recording writer and a
// collector of delivered messages.
#pragma once

#include <cstdint>
#include <mutex>
#include <random>
#include <vector>

#include "quorlan/transport/communication_package.h"

namespace quorlan {
namespace testing_support {

inline std::vector<uint8_t> PatternMessage(size_t length, uint32_t seed) {
  std::vector<uint8_t> message(length);
  std::mt19937 random(seed);
  for (auto& byte : message) byte = static_cast<uint8_t>(random());
  return message;
}

// Everything written, in order, as one stream, plus the size of each write.
struct RecordingWriter {
  std::mutex mutex;
  std::vector<uint8_t> stream;
  std::vector<size_t> writes;

  IKVCommunicationPackage::Writer Writer() {
    return [this](uint8_t* data, unsigned length) {
      std::lock_guard<std::mutex> lock(mutex);
      stream.insert(stream.end(), data, data + length);
      writes.push_back(length);
      return 0;
    };
  }
};

struct DeliveredMessages {
  std::mutex mutex;
  std::vector<std::vector<uint8_t>> messages;

  void Attach(IKVCommunicationPackage& package) {
    package.SetReceiveCallback([this](std::vector<uint8_t> message) {
      std::lock_guard<std::mutex> lock(mutex);
      messages.push_back(std::move(message));
    });
  }
};

}  // namespace testing_support
}  // namespace quorlan
