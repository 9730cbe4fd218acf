#include "quorlan/platform/socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <mutex>

namespace quorlan {
namespace platform {
namespace {

SOCKET Sock(SocketHandle socket) { return static_cast<SOCKET>(socket); }
SocketHandle Handle(SOCKET socket) {
  return socket == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(socket);
}

// Child processes must not keep our connections open.
SOCKET NewSocket(int type, int protocol) {
  StartSocketsOnce();
  SOCKET socket = ::socket(AF_INET, type, protocol);
  if (socket != INVALID_SOCKET) {
    SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
  }
  return socket;
}

bool SetNonBlocking(SOCKET socket) {
  u_long on = 1;
  return ioctlsocket(socket, FIONBIO, &on) == 0;
}

bool SetNoDelay(SOCKET socket) {
  BOOL on = TRUE;
  return setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on) == 0;
}

bool MakeAddress(const std::string& host, int port, sockaddr_in* address) {
  if (port < 0 || port > 0xFFFF) return false;
  *address = sockaddr_in{};
  address->sin_family = AF_INET;
  address->sin_port = htons(static_cast<u_short>(port));
  return inet_pton(AF_INET, host.c_str(), &address->sin_addr) > 0;
}

int Chunk(size_t length) { return static_cast<int>(std::min<size_t>(length, INT_MAX)); }

IoResult Classify(int n, bool zeroIsClosed) {
  if (n > 0) return {IoStatus::kDone, static_cast<size_t>(n)};
  if (n == 0) return {zeroIsClosed ? IoStatus::kClosed : IoStatus::kDone, 0};
  if (WSAGetLastError() == WSAEWOULDBLOCK) return {IoStatus::kWouldBlock, 0};
  return {IoStatus::kFailed, 0};
}

// select() with the time-out of the POSIX backend: < 0 waits forever.
int SelectFor(fd_set* readable, fd_set* writable, fd_set* failed, int timeoutMs) {
  timeval wait{};
  if (timeoutMs >= 0) {
    wait.tv_sec = timeoutMs / 1000;
    wait.tv_usec = (timeoutMs % 1000) * 1000;
  }
  // The first argument is ignored by Winsock.
  return select(0, readable, writable, failed, timeoutMs >= 0 ? &wait : nullptr);
}

}  // namespace

void StartSocketsOnce() {
  static std::once_flag started;
  std::call_once(started, [] {
    WSADATA data;
    // Never cleaned up: sockets may be in use until the process ends.
    WSAStartup(MAKEWORD(2, 0), &data);
  });
}

std::string ResolveHostName(const std::string& name) {
  StartSocketsOnce();
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
  SOCKET socket = NewSocket(SOCK_STREAM, IPPROTO_TCP);
  if (socket == INVALID_SOCKET) return kNoSocket;
  if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      !SetNonBlocking(socket) || !SetNoDelay(socket)) {
    closesocket(socket);
    return kNoSocket;
  }
  return Handle(socket);
}

IoResult SendSome(SocketHandle socket, const uint8_t* data, size_t length) {
  return Classify(send(Sock(socket), reinterpret_cast<const char*>(data), Chunk(length), 0), false);
}

IoResult ReceiveSome(SocketHandle socket, uint8_t* buffer, size_t capacity) {
  return Classify(recv(Sock(socket), reinterpret_cast<char*>(buffer), Chunk(capacity), 0), true);
}

WaitResult WaitWritable(SocketHandle socket, int timeoutMs) {
  fd_set writable;
  FD_ZERO(&writable);
  FD_SET(Sock(socket), &writable);
  fd_set failed;
  FD_ZERO(&failed);
  FD_SET(Sock(socket), &failed);
  // A failed connection also counts as ready: the next send reports it.
  int ready = SelectFor(nullptr, &writable, &failed, timeoutMs);
  if (ready == SOCKET_ERROR) return WaitResult::kFailed;
  return ready == 0 ? WaitResult::kTimedOut : WaitResult::kReady;
}

void ShutdownSending(SocketHandle socket) { shutdown(Sock(socket), SD_SEND); }

void CloseSocket(SocketHandle socket) {
  if (socket != kNoSocket) closesocket(Sock(socket));
}

// Winsock cannot wait on a pipe, so the wake-up is a datagram to a loopback
// socket of our own, sent once and never read.
SocketWaiter::SocketWaiter() {
  sockaddr_in address;
  if (!MakeAddress("127.0.0.1", 0, &address)) return;
  SOCKET receiver = NewSocket(SOCK_DGRAM, IPPROTO_UDP);
  if (receiver == INVALID_SOCKET) return;
  SOCKET sender = NewSocket(SOCK_DGRAM, IPPROTO_UDP);
  int size = sizeof address;
  if (sender == INVALID_SOCKET || bind(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(receiver, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
      connect(sender, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (sender != INVALID_SOCKET) closesocket(sender);
    closesocket(receiver);
    return;
  }
  wakeRead_ = Handle(receiver);
  wakeWrite_ = Handle(sender);
}

SocketWaiter::~SocketWaiter() {
  CloseSocket(wakeRead_);
  CloseSocket(wakeWrite_);
}

bool SocketWaiter::IsUsable() const { return wakeRead_ != kNoSocket; }

WaitResult SocketWaiter::WaitReadable(SocketHandle socket, int timeoutMs) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(Sock(wakeRead_), &readable);
  // A closed or reset connection counts as readable: the next receive says which.
  if (socket != kNoSocket) FD_SET(Sock(socket), &readable);
  int ready = SelectFor(&readable, nullptr, nullptr, timeoutMs);
  if (ready == SOCKET_ERROR) return WaitResult::kFailed;
  if (FD_ISSET(Sock(wakeRead_), &readable)) return WaitResult::kWoken;
  return ready == 0 ? WaitResult::kTimedOut : WaitResult::kReady;
}

void SocketWaiter::Wake() {
  const char signal = 1;
  send(Sock(wakeWrite_), &signal, 1, 0);
}

}  // namespace platform
}  // namespace quorlan
