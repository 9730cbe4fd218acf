#include "listening_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorlan {
namespace platform {
namespace {

// Non-blocking, and not kept open by child processes.
SocketHandle Prepared(int fd) {
  if (fd < 0) return kNoSocket;
  const int flags = fcntl(fd, F_GETFL, 0);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0 || fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) {
    close(fd);
    return kNoSocket;
  }
  return fd;
}

}  // namespace

SocketHandle ListenTcp(const std::string& host, int port, int* boundPort) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (port < 0 || port > 0xFFFF || inet_pton(AF_INET, host.c_str(), &address.sin_addr) <= 0) return kNoSocket;
  const SocketHandle listener = Prepared(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (listener == kNoSocket) return kNoSocket;
  const int fd = static_cast<int>(listener);
  int reuse = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  socklen_t size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 16) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    close(fd);
    return kNoSocket;
  }
  if (boundPort) *boundPort = ntohs(address.sin_port);
  return listener;
}

SocketHandle AcceptTcp(SocketHandle listener) {
  const SocketHandle socket = Prepared(accept(static_cast<int>(listener), nullptr, nullptr));
  if (socket != kNoSocket) {
    int noDelay = 1;
    setsockopt(static_cast<int>(socket), IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
  }
  return socket;
}

void ResetOnClose(SocketHandle socket) {
  const linger immediately{1, 0};
  setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_LINGER, &immediately, sizeof immediately);
}

}  // namespace platform
}  // namespace quorlan
