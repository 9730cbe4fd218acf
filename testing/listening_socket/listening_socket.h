// Listening sockets of the test tools (the simulated reader, raw peers, the
// benchmark). The library only connects, so these live here, beside the
// library's socket seam whose handles and calls they share.
#pragma once

#include <string>

#include "quorlan/platform/socket.h"

namespace quorlan {
namespace platform {

// A non-blocking listening socket on host:port (0 for any port); *boundPort
// receives the port taken. kNoSocket on failure.
SocketHandle ListenTcp(const std::string& host, int port, int* boundPort);
// A non-blocking connected socket with Nagle's delay off, or kNoSocket when
// none is waiting.
SocketHandle AcceptTcp(SocketHandle listener);
// Makes the socket's close a reset (RST) rather than an orderly end of stream.
void ResetOnClose(SocketHandle socket);

}  // namespace platform
}  // namespace quorlan
