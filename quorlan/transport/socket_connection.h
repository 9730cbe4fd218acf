// The TCP link to a reader. A reader thread waits on the socket and on a stop
// signal together and hands every received block to the data path at once.
// When the link fails (the peer ends or resets the stream, a receive fails,
// or a write fails), the reader thread reports state 0 through the state
// callback, once, and ends; a link that Close takes first reports nothing.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "quorlan/platform/socket.h"
#include "quorlan/transport/serial_comm.h"

namespace quorlan {

class SocketConnection : public SerialComm {
 public:
  static constexpr int kDefaultWriteTimeoutMs = 5000;

  // host is a dotted IPv4 address (see ParseTcpAddress). A write fails when
  // the socket takes no byte for writeTimeoutMs.
  SocketConnection(std::string host, int port, int writeTimeoutMs = kDefaultWriteTimeoutMs);
  ~SocketConnection() override;

  // 0, or 5 when the connection cannot be made.
  int Open() override;
  // Ends the reader thread, then closes the socket; 0. May be called from
  // the reader thread's callbacks, the state report among them.
  int Close() override;
  // False once the link has failed, before the failure is reported.
  bool IsConnected() override;
  // Sends every byte; 255 on a socket error or when the peer stops taking
  // bytes for the write time-out (the link has then failed), else 0.
  int Write(const uint8_t* data, unsigned length) override;

 private:
  struct ReaderControl {
    platform::SocketWaiter stop;
    // Set when the connection is destroyed by its own reader thread, which
    // then leaves without touching it again.
    std::atomic<bool> orphaned{false};
    // Set as the reader leaves: joining it then waits for nothing.
    std::atomic<bool> finished{false};
  };
  struct Link {
    platform::SocketHandle socket = platform::kNoSocket;
    std::shared_ptr<ReaderControl> control;
    std::thread reader;
  };

  void ReadLoop(platform::SocketHandle socket, std::shared_ptr<ReaderControl> control);
  // On the reader thread as it leaves: reports the end of the link unless
  // Close has taken the link. Touches nothing of the connection after the
  // report, which may destroy it.
  void ReportLinkEnd(const ReaderControl& control);
  // Under the write lock: a write of the link's socket failed.
  void FailLink(platform::SocketHandle socket);
  // Ends the links whose Close ran on their own reader thread and whose
  // reader has left since.
  void FinishRetiredLinks();
  void FinishLink(std::unique_ptr<Link> link);

  const std::string host_;
  const int port_;
  const int writeTimeoutMs_;
  // The open link's socket; none once it has failed, though the link stays
  // until closed.
  std::atomic<platform::SocketHandle> socket_{platform::kNoSocket};
  std::mutex stateMutex_;
  std::unique_ptr<Link> link_;
  std::vector<std::unique_ptr<Link>> retired_;
  // Readers that a Close is joining; another Close waits for them.
  std::vector<std::thread::id> finishingReaders_;
  std::condition_variable readerFinished_;
  // Held for a whole Write, so the bytes of two writes never interleave.
  std::mutex writeMutex_;
};

}  // namespace quorlan
