// Address texts of TCP readers: "tcp://" with a dotted IPv4 address or a host
// name of word characters, an optional ":port" and an ignored "/..." or ";..." tail.
#pragma once

#include <string>

namespace quorlan {

constexpr int kDefaultTcpPort = 8888;

struct TcpAddress {
  std::string host;
  // -1 when the text names a port outside 0..65535, which no connect accepts.
  int port = kDefaultTcpPort;
};

// A text that matches neither form is kept whole as the host, which then
// fails to connect. Host names are resolved to their first IPv4 address.
TcpAddress ParseTcpAddress(const std::string& text, int defaultPort = kDefaultTcpPort);

// What the text names before any host name is resolved.
struct TcpAddressText {
  TcpAddress address;
  bool hostName = false;  // the host is a name to resolve, not a dotted address
};
TcpAddressText ReadTcpAddressText(const std::string& text, int defaultPort = kDefaultTcpPort);

}  // namespace quorlan
