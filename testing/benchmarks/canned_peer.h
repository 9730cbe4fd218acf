// The far end of the benchmark's loopback links: it answers each request of a
// known size with canned bytes and does no work of its own, so that what is
// measured is the caller's end. The plain baselines use it as the library does.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "quorlan/platform/socket.h"

namespace bench {

using Bytes = std::vector<uint8_t>;

bool SendAll(quorlan::platform::SocketHandle socket, const uint8_t* data, size_t length);
// Reads until `wanted` bytes have arrived; false when the stream ends or a
// wait for more exceeds timeoutMs (< 0: no limit).
bool ReceiveExactly(quorlan::platform::SocketWaiter& waiter, quorlan::platform::SocketHandle socket, uint8_t* out,
                    size_t wanted, int timeoutMs = 5000);

// Accepts one connection. For each request of requestSize bytes it writes the
// reply chunks in order, pausing `gap` between two chunks.
class CannedPeer {
 public:
  CannedPeer(size_t requestSize, std::vector<Bytes> replyChunks,
             std::chrono::microseconds gap = std::chrono::microseconds(0));
  ~CannedPeer();
  CannedPeer(const CannedPeer&) = delete;
  CannedPeer& operator=(const CannedPeer&) = delete;

  int port() const { return port_; }
  // "tcp://127.0.0.1:<port>", as QRX_OpenDevice takes it.
  std::string Address() const;

 private:
  void Serve();

  const size_t requestSize_;
  const std::vector<Bytes> replyChunks_;
  const std::chrono::microseconds gap_;
  int port_ = 0;
  quorlan::platform::SocketHandle listener_;
  quorlan::platform::SocketWaiter stop_;
  std::thread thread_;
};

}  // namespace bench
