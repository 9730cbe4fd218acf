// The host side of the loopback tests: a TCP connection with the 64-byte
// packet package on top, as the device object wires them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "eventually.h"
#include "quorlan/transport/korvex_communication_package.h"
#include "quorlan/transport/socket_connection.h"

namespace quorlan {
namespace testing_support {

class TcpHost {
 public:
  explicit TcpHost(int port, int writeTimeoutMs = SocketConnection::kDefaultWriteTimeoutMs)
      : connection(std::make_unique<SocketConnection>("127.0.0.1", port, writeTimeoutMs)) {
    connection->SetDataCallback([this](uint8_t* data, unsigned length) {
      package.OnReceived(std::vector<uint8_t>(data, data + length));
    });
    package.SetReceiveCallback([this](std::vector<uint8_t> message) {
      std::lock_guard<std::mutex> lock(mutex_);
      messages_.push_back(std::move(message));
      arrived_.notify_all();
    });
  }

  // The reader ends first: it feeds the package and the message list.
  ~TcpHost() { connection.reset(); }

  int Send(std::vector<uint8_t> message) {
    int result = 0;
    package.Send(std::move(message), [&](uint8_t* data, unsigned length) {
      const int written = connection->Write(data, length);
      if (written != 0) result = written;
      return written;
    }, nullptr);
    return result;
  }

  bool WaitForMessages(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, test_support::kRoomyWait, [&] { return messages_.size() >= count; });
  }

  std::vector<std::vector<uint8_t>> Messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }

  void ClearMessages() {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
  }

  KorvexCommunicationPackage package;
  std::unique_ptr<SocketConnection> connection;

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::vector<uint8_t>> messages_;
};

}  // namespace testing_support
}  // namespace quorlan
