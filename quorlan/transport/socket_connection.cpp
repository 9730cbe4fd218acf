#include "quorlan/transport/socket_connection.h"

#include <algorithm>
#include <iterator>
#include <system_error>
#include <vector>

namespace quorlan {

using platform::IoStatus;
using platform::kNoSocket;
using platform::SocketHandle;
using platform::WaitResult;

namespace {
constexpr size_t kReceiveSize = 8192;
// The state reported for a link that has failed.
constexpr int kLinkLost = 0;
}

SocketConnection::SocketConnection(std::string host, int port, int writeTimeoutMs)
    : host_(std::move(host)), port_(port), writeTimeoutMs_(writeTimeoutMs) {}

SocketConnection::~SocketConnection() {
  Close();
  std::vector<std::unique_ptr<Link>> retired;
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    retired.swap(retired_);
  }
  for (auto& link : retired) {
    if (link->reader.get_id() == std::this_thread::get_id()) {
      link->control->orphaned = true;
      link->reader.detach();
      platform::CloseSocket(link->socket);
    } else {
      FinishLink(std::move(link));
    }
  }
}

int SocketConnection::Open() {
  FinishRetiredLinks();
  std::lock_guard<std::mutex> lock(stateMutex_);
  if (link_) return kConnectionOk;
  platform::StartSocketsOnce();
  auto link = std::make_unique<Link>();
  link->control = std::make_shared<ReaderControl>();
  if (!link->control->stop.IsUsable()) return kConnectionOpenFailed;
  link->socket = platform::ConnectTcp(host_, port_);
  if (link->socket == kNoSocket) return kConnectionOpenFailed;
  try {
    link->reader = std::thread(&SocketConnection::ReadLoop, this, link->socket, link->control);
  } catch (const std::system_error&) {
    platform::CloseSocket(link->socket);
    return kConnectionOpenFailed;
  }
  socket_ = link->socket;
  link_ = std::move(link);
  return kConnectionOk;
}

int SocketConnection::Close() {
  FinishRetiredLinks();
  std::unique_ptr<Link> link;
  const auto self = std::this_thread::get_id();
  {
    std::unique_lock<std::mutex> lock(stateMutex_);
    if (!link_) {
      // Another Close may be ending the reader: return once it has, unless
      // this is that reader.
      readerFinished_.wait(lock, [&] {
        return std::find(finishingReaders_.begin(), finishingReaders_.end(), self) != finishingReaders_.end() ||
               finishingReaders_.empty();
      });
      return kConnectionOk;
    }
    link = std::move(link_);
    socket_ = kNoSocket;
    link->control->stop.Wake();
    // Wakes a writer waiting for room, so Close does not wait out its time-out.
    platform::ShutdownSending(link->socket);
    if (link->reader.get_id() == self) {
      retired_.push_back(std::move(link));
      return kConnectionOk;
    }
    finishingReaders_.push_back(link->reader.get_id());
  }
  const auto reader = link->reader.get_id();
  FinishLink(std::move(link));
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    finishingReaders_.erase(std::find(finishingReaders_.begin(), finishingReaders_.end(), reader));
  }
  readerFinished_.notify_all();
  return kConnectionOk;
}

void SocketConnection::FinishRetiredLinks() {
  std::vector<std::unique_ptr<Link>> finished;
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    const auto left = std::stable_partition(retired_.begin(), retired_.end(),
                                            [](const std::unique_ptr<Link>& link) { return !link->control->finished; });
    std::move(left, retired_.end(), std::back_inserter(finished));
    retired_.erase(left, retired_.end());
  }
  for (auto& link : finished) FinishLink(std::move(link));
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
      FailLink(socket);
      return kConnectionFailed;
    }
  }
  return kConnectionOk;
}

void SocketConnection::FailLink(SocketHandle socket) {
  std::lock_guard<std::mutex> lock(stateMutex_);
  // A write that Close cut short, or one of a link closed since, is no failure.
  if (!link_ || link_->socket != socket) return;
  socket_ = kNoSocket;
  // Part of a packet may have gone out: nothing after it would be read right.
  // The reader thread reports the failure.
  link_->control->stop.Wake();
}

void SocketConnection::ReadLoop(SocketHandle socket, std::shared_ptr<ReaderControl> control) {
  struct Leaving {
    ReaderControl& control;
    ~Leaving() { control.finished = true; }
  } leaving{*control};
  std::vector<uint8_t> buffer(kReceiveSize);
  for (;;) {
    // Woken by Close, or by a write that failed.
    if (control->stop.WaitReadable(socket, -1) != WaitResult::kReady) break;
    const auto result = platform::ReceiveSome(socket, buffer.data(), buffer.size());
    if (result.status == IoStatus::kDone) {
      OnDataReceived(buffer.data(), static_cast<unsigned>(result.count));
      if (control->orphaned) return;
    } else if (result.status != IoStatus::kWouldBlock) {
      break;
    }
  }
  ReportLinkEnd(*control);
}

void SocketConnection::ReportLinkEnd(const ReaderControl& control) {
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!link_ || link_->control.get() != &control) return;
    socket_ = kNoSocket;
  }
  StateCallback callback = CurrentStateCallback();
  if (!callback) return;
  try {
    callback(kLinkLost);
  } catch (...) {
    // Nobody is left to hear of a failing state callback.
  }
}

}  // namespace quorlan
