#include "listening_socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace quorlan {
namespace platform {
namespace {

// Child processes must not keep test sockets open.
SocketHandle Prepared(SOCKET socket) {
  u_long on = 1;
  if (socket == INVALID_SOCKET) return kNoSocket;
  if (!SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0) ||
      ioctlsocket(socket, FIONBIO, &on) != 0) {
    closesocket(socket);
    return kNoSocket;
  }
  return static_cast<SocketHandle>(socket);
}

}  // namespace

SocketHandle ListenTcp(const std::string& host, int port, int* boundPort) {
  StartSocketsOnce();
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  if (port < 0 || port > 0xFFFF || inet_pton(AF_INET, host.c_str(), &address.sin_addr) <= 0) return kNoSocket;
  const SocketHandle listener = Prepared(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (listener == kNoSocket) return kNoSocket;
  const auto raw = static_cast<SOCKET>(listener);
  // No SO_REUSEADDR: on Windows it would let another socket take a port in
  // use, and a port with closed connections is free to bind without it.
  int size = sizeof address;
  if (bind(raw, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(raw, 16) != 0 ||
      getsockname(raw, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    closesocket(raw);
    return kNoSocket;
  }
  if (boundPort) *boundPort = ntohs(address.sin_port);
  return listener;
}

SocketHandle AcceptTcp(SocketHandle listener) {
  const SocketHandle socket = Prepared(accept(static_cast<SOCKET>(listener), nullptr, nullptr));
  if (socket != kNoSocket) {
    BOOL on = TRUE;
    setsockopt(static_cast<SOCKET>(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  }
  return socket;
}

void ResetOnClose(SocketHandle socket) {
  const LINGER immediately{1, 0};
  setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&immediately),
             sizeof immediately);
}

}  // namespace platform
}  // namespace quorlan
