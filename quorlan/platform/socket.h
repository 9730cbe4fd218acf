// TCP sockets: the only place that knows the operating system's socket API.
// Every call reports plain values; nothing here throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorlan {
namespace platform {

using SocketHandle = intptr_t;
constexpr SocketHandle kNoSocket = -1;

enum class IoStatus { kDone, kWouldBlock, kClosed, kFailed };

struct IoResult {
  IoStatus status = IoStatus::kFailed;
  size_t count = 0;
};

// Starts the socket library once per process; never undone.
void StartSocketsOnce();

// Dotted IPv4 text of the first address of a host name, or the empty text.
std::string ResolveHostName(const std::string& name);

// Blocking connect to a dotted IPv4 address; the socket is then switched to
// non-blocking with Nagle's delay off. kNoSocket on any failure.
SocketHandle ConnectTcp(const std::string& host, int port);

IoResult SendSome(SocketHandle socket, const uint8_t* data, size_t length);
IoResult ReceiveSome(SocketHandle socket, uint8_t* buffer, size_t capacity);

enum class WaitResult { kReady, kWoken, kTimedOut, kFailed };

// Waits until the socket can take more bytes; timeoutMs < 0 waits forever.
WaitResult WaitWritable(SocketHandle socket, int timeoutMs);

// Sends the peer an end of stream but keeps the socket open for reading.
void ShutdownSending(SocketHandle socket);
void CloseSocket(SocketHandle socket);

// Lets one thread wait for a socket to become readable and another thread
// end that wait at once. Wake is sticky: every later wait returns kWoken.
class SocketWaiter {
 public:
  SocketWaiter();
  ~SocketWaiter();
  SocketWaiter(const SocketWaiter&) = delete;
  SocketWaiter& operator=(const SocketWaiter&) = delete;

  bool IsUsable() const;
  // kNoSocket waits for the wake-up (or the time-out) alone.
  WaitResult WaitReadable(SocketHandle socket, int timeoutMs);
  void Wake();

 private:
  intptr_t wakeRead_ = -1;
  intptr_t wakeWrite_ = -1;
};

}  // namespace platform
}  // namespace quorlan
