#include "canned_peer.h"

#include "listening_socket.h"

namespace bench {

namespace platform = quorlan::platform;

bool SendAll(platform::SocketHandle socket, const uint8_t* data, size_t length) {
  size_t sent = 0;
  while (sent < length) {
    const auto result = platform::SendSome(socket, data + sent, length - sent);
    if (result.status == platform::IoStatus::kDone) {
      sent += result.count;
    } else if (result.status != platform::IoStatus::kWouldBlock ||
               platform::WaitWritable(socket, 5000) != platform::WaitResult::kReady) {
      return false;
    }
  }
  return true;
}

bool ReceiveExactly(platform::SocketWaiter& waiter, platform::SocketHandle socket, uint8_t* out, size_t wanted,
                    int timeoutMs) {
  size_t received = 0;
  while (received < wanted) {
    const auto result = platform::ReceiveSome(socket, out + received, wanted - received);
    if (result.status == platform::IoStatus::kDone && result.count > 0) {
      received += result.count;
    } else if (result.status != platform::IoStatus::kWouldBlock ||
               waiter.WaitReadable(socket, timeoutMs) != platform::WaitResult::kReady) {
      return false;
    }
  }
  return true;
}

CannedPeer::CannedPeer(size_t requestSize, std::vector<Bytes> replyChunks, std::chrono::microseconds gap)
    : requestSize_(requestSize), replyChunks_(std::move(replyChunks)), gap_(gap) {
  listener_ = platform::ListenTcp("127.0.0.1", 0, &port_);
  thread_ = std::thread([this] { Serve(); });
}

CannedPeer::~CannedPeer() {
  stop_.Wake();
  thread_.join();
  platform::CloseSocket(listener_);
}

std::string CannedPeer::Address() const { return "tcp://127.0.0.1:" + std::to_string(port_); }

void CannedPeer::Serve() {
  if (stop_.WaitReadable(listener_, -1) != platform::WaitResult::kReady) return;
  const auto socket = platform::AcceptTcp(listener_);
  Bytes request(requestSize_);
  while (ReceiveExactly(stop_, socket, request.data(), request.size(), -1)) {
    bool sent = true;
    for (size_t i = 0; i < replyChunks_.size() && sent; ++i) {
      if (i > 0 && gap_.count() > 0) std::this_thread::sleep_for(gap_);
      sent = SendAll(socket, replyChunks_[i].data(), replyChunks_[i].size());
    }
    if (!sent) break;
  }
  platform::CloseSocket(socket);
}

}  // namespace bench
