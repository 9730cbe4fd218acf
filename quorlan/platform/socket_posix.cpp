#include "quorlan/platform/socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorlan {
namespace platform {
namespace {

int Fd(SocketHandle socket) { return static_cast<int>(socket); }

bool SetNonBlocking(int fd) {
  int flags = fcntl(fd, F_GETFL, 0);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

void SetCloseOnExec(int fd) { fcntl(fd, F_SETFD, FD_CLOEXEC); }

bool MakeAddress(const std::string& host, int port, sockaddr_in* address) {
  if (port < 0 || port > 0xFFFF) return false;
  *address = sockaddr_in{};
  address->sin_family = AF_INET;
  address->sin_port = htons(static_cast<uint16_t>(port));
  return inet_pton(AF_INET, host.c_str(), &address->sin_addr) > 0;
}

IoResult Classify(ssize_t n, bool zeroIsClosed) {
  if (n > 0) return {IoStatus::kDone, static_cast<size_t>(n)};
  if (n == 0) return {zeroIsClosed ? IoStatus::kClosed : IoStatus::kDone, 0};
  if (errno == EAGAIN || errno == EWOULDBLOCK) return {IoStatus::kWouldBlock, 0};
  return {IoStatus::kFailed, 0};
}

// poll() that restarts after signals, keeping the overall time-out.
int PollFor(pollfd* fds, nfds_t count, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int wait = timeoutMs;
    if (timeoutMs >= 0) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      wait = left > 0 ? static_cast<int>(left) : 0;
    }
    int ready = poll(fds, count, wait);
    if (ready >= 0 || errno != EINTR) return ready;
  }
}

}  // namespace

void StartSocketsOnce() {}

std::string ResolveHostName(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return {};
  char text[INET_ADDRSTRLEN] = {};
  auto* address = reinterpret_cast<sockaddr_in*>(found->ai_addr);
  std::string result = inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) ? text : "";
  freeaddrinfo(found);
  return result;
}

SocketHandle ConnectTcp(const std::string& host, int port) {
  sockaddr_in address;
  if (!MakeAddress(host, port, &address)) return kNoSocket;
  int fd = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (fd < 0) return kNoSocket;
  SetCloseOnExec(fd);
  int result;
  do {
    result = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  } while (result < 0 && errno == EINTR);
  int noDelay = 1;
  if (result < 0 || !SetNonBlocking(fd) ||
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay) != 0) {
    close(fd);
    return kNoSocket;
  }
  return fd;
}

IoResult SendSome(SocketHandle socket, const uint8_t* data, size_t length) {
  ssize_t n;
  do {
    n = send(Fd(socket), data, length, MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  return Classify(n, false);
}

IoResult ReceiveSome(SocketHandle socket, uint8_t* buffer, size_t capacity) {
  ssize_t n;
  do {
    n = recv(Fd(socket), buffer, capacity, 0);
  } while (n < 0 && errno == EINTR);
  return Classify(n, true);
}

WaitResult WaitWritable(SocketHandle socket, int timeoutMs) {
  pollfd entry{Fd(socket), POLLOUT, 0};
  int ready = PollFor(&entry, 1, timeoutMs);
  if (ready < 0) return WaitResult::kFailed;
  // An error or hang-up also counts as ready: the next send reports it.
  return ready == 0 ? WaitResult::kTimedOut : WaitResult::kReady;
}

void ShutdownSending(SocketHandle socket) { shutdown(Fd(socket), SHUT_WR); }

void CloseSocket(SocketHandle socket) {
  if (socket != kNoSocket) close(Fd(socket));
}

SocketWaiter::SocketWaiter() {
  int fds[2];
  if (pipe(fds) != 0) return;
  for (int fd : fds) {
    SetCloseOnExec(fd);
    SetNonBlocking(fd);
  }
  wakeRead_ = fds[0];
  wakeWrite_ = fds[1];
}

SocketWaiter::~SocketWaiter() {
  if (wakeRead_ >= 0) close(static_cast<int>(wakeRead_));
  if (wakeWrite_ >= 0) close(static_cast<int>(wakeWrite_));
}

bool SocketWaiter::IsUsable() const { return wakeRead_ >= 0; }

WaitResult SocketWaiter::WaitReadable(SocketHandle socket, int timeoutMs) {
  pollfd entries[2] = {{static_cast<int>(wakeRead_), POLLIN, 0}, {Fd(socket), POLLIN, 0}};
  int ready = PollFor(entries, socket == kNoSocket ? 1 : 2, timeoutMs);
  if (ready < 0) return WaitResult::kFailed;
  if (entries[0].revents != 0) return WaitResult::kWoken;
  return ready == 0 ? WaitResult::kTimedOut : WaitResult::kReady;
}

void SocketWaiter::Wake() {
  const uint8_t signal = 1;
  // The pipe is never drained, so one byte keeps every later wait woken.
  ssize_t ignored = write(static_cast<int>(wakeWrite_), &signal, 1);
  (void)ignored;
}

}  // namespace platform
}  // namespace quorlan
