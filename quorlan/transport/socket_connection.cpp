#include "transport/socket_connection.h"

#include <vector>

namespace quorlan {

using platform::IoStatus;
using platform::kNoSocket;
using platform::SocketHandle;
using platform::WaitResult;

namespace {
constexpr size_t kReceiveSize = 8192;
}

SocketConnection::SocketConnection(std::string host, int port, int writeTimeoutMs)
    : host_(std::move(host)), port_(port), writeTimeoutMs_(writeTimeoutMs) {}

SocketConnection::~SocketConnection() {
  Close();
  std::unique_ptr<Link> retired;
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    retired = std::move(retired_);
  }
  if (!retired) return;
  if (retired->reader.get_id() == std::this_thread::get_id()) {
    retired->control->orphaned = true;
    retired->reader.detach();
    platform::CloseSocket(retired->socket);
    return;
  }
  FinishLink(std::move(retired));
}

int SocketConnection::Open() {
  FinishRetiredLink();
  std::lock_guard<std::mutex> lock(stateMutex_);
  if (link_) return kConnectionOk;
  platform::StartSocketsOnce();
  auto link = std::make_unique<Link>();
  link->control = std::make_shared<ReaderControl>();
  if (!link->control->stop.IsUsable()) return kConnectionOpenFailed;
  link->socket = platform::ConnectTcp(host_, port_);
  if (link->socket == kNoSocket) return kConnectionOpenFailed;
  link->reader = std::thread(&SocketConnection::ReadLoop, this, link->socket, link->control);
  socket_ = link->socket;
  link_ = std::move(link);
  return kConnectionOk;
}

int SocketConnection::Close() {
  std::unique_ptr<Link> link;
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!link_) return kConnectionOk;
    link = std::move(link_);
    socket_ = kNoSocket;
    link->control->stop.Wake();
    // Wakes a writer waiting for room, so Close does not wait out its time-out.
    platform::ShutdownSending(link->socket);
    if (link->reader.get_id() == std::this_thread::get_id()) {
      retired_ = std::move(link);
      return kConnectionOk;
    }
  }
  FinishLink(std::move(link));
  return kConnectionOk;
}

void SocketConnection::FinishRetiredLink() {
  std::unique_ptr<Link> retired;
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!retired_ || retired_->reader.get_id() == std::this_thread::get_id()) return;
    retired = std::move(retired_);
  }
  FinishLink(std::move(retired));
}

void SocketConnection::FinishLink(std::unique_ptr<Link> link) {
  link->reader.join();
  // Only now: the reader may use the socket until it has ended, and a closed
  // descriptor number is handed out again at once.
  std::lock_guard<std::mutex> lock(writeMutex_);
  platform::CloseSocket(link->socket);
}

bool SocketConnection::IsConnected() { return socket_ != kNoSocket; }

int SocketConnection::Write(const uint8_t* data, unsigned length) {
  std::lock_guard<std::mutex> lock(writeMutex_);
  const SocketHandle socket = socket_;
  if (socket == kNoSocket) return kConnectionFailed;
  size_t sent = 0;
  while (sent < length) {
    const auto result = platform::SendSome(socket, data + sent, length - sent);
    if (result.status == IoStatus::kDone) {
      sent += result.count;
    } else if (result.status != IoStatus::kWouldBlock ||
               platform::WaitWritable(socket, writeTimeoutMs_) != WaitResult::kReady) {
      return kConnectionFailed;
    }
  }
  return kConnectionOk;
}

void SocketConnection::ReadLoop(SocketHandle socket, std::shared_ptr<ReaderControl> control) {
  std::vector<uint8_t> buffer(kReceiveSize);
  // After the peer has closed the stream, only the stop signal is awaited:
  // the connection reports no loss of its own.
  bool peerOpen = true;
  for (;;) {
    const auto wait = control->stop.WaitReadable(peerOpen ? socket : kNoSocket, -1);
    if (wait != WaitResult::kReady) return;
    const auto result = platform::ReceiveSome(socket, buffer.data(), buffer.size());
    if (result.status == IoStatus::kDone && result.count > 0) {
      OnDataReceived(buffer.data(), static_cast<unsigned>(result.count));
      if (control->orphaned) return;
    } else if (result.status == IoStatus::kClosed || result.status == IoStatus::kFailed) {
      peerOpen = false;
    }
  }
}

}  // namespace quorlan
