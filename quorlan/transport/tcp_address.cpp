#include "quorlan/transport/tcp_address.h"

#include "quorlan/platform/socket.h"

namespace quorlan {
namespace {

// The forms were first written as the regular expressions
// "tcp\://(\d{1,3}\.\d{1,3}\.\d{1,3}\.\d{1,3})(\:\d+)?((/|;)(.*))?$" and
// "tcp\://(\w+)(\:\d+)?((/|;)(.*))?$" (case-insensitive). They are matched by
// hand because a backtracking regex engine recurses once per character, and
// a long tail overflowed the stack.

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '_';
}

bool HasScheme(const std::string& text) {
  static const char kScheme[] = "tcp://";
  if (text.size() < sizeof kScheme - 1) return false;
  for (size_t i = 0; i < sizeof kScheme - 1; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kScheme[i]) return false;
  }
  return true;
}

size_t SkipDigits(const std::string& text, size_t at) {
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at;
}

// End of "\d{1,3}\.\d{1,3}\.\d{1,3}\.\d{1,3}" from at; npos when it is not there.
size_t DottedAddressEnd(const std::string& text, size_t at) {
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (at >= text.size() || text[at] != '.') return std::string::npos;
      ++at;
    }
    const size_t end = SkipDigits(text, at);
    if (end == at || end - at > 3) return std::string::npos;
    at = end;
  }
  return at;
}

size_t HostNameEnd(const std::string& text, size_t at) {
  const size_t start = at;
  while (at < text.size() && IsWordChar(text[at])) ++at;
  return at == start ? std::string::npos : at;
}

// "(\:\d+)?((/|;)(.*))?$" from at, where "." takes anything but a line
// terminator. On a match, the digits of the port (empty when there is none).
bool MatchPortAndTail(const std::string& text, size_t at, std::string* portDigits) {
  portDigits->clear();
  if (at < text.size() && text[at] == ':') {
    const size_t end = SkipDigits(text, at + 1);
    if (end == at + 1) return false;
    *portDigits = text.substr(at + 1, end - at - 1);
    at = end;
  }
  if (at == text.size()) return true;
  if (text[at] != '/' && text[at] != ';') return false;
  return text.find_first_of("\r\n", at + 1) == std::string::npos;
}

// More digits than any port has would overflow a long.
int PortOf(const std::string& digits, int defaultPort) {
  if (digits.empty()) return defaultPort;
  const auto significant = digits.find_first_not_of('0');
  if (significant == std::string::npos) return 0;
  if (digits.size() - significant > 5) return -1;
  const long port = std::stol(digits);
  return port <= 0xFFFF ? static_cast<int>(port) : -1;
}

}  // namespace

TcpAddressText ReadTcpAddressText(const std::string& text, int defaultPort) {
  const TcpAddressText whole{{text, defaultPort}, false};
  if (!HasScheme(text)) return whole;
  const size_t hostStart = 6;
  std::string digits;
  size_t hostEnd = DottedAddressEnd(text, hostStart);
  if (hostEnd != std::string::npos && MatchPortAndTail(text, hostEnd, &digits)) {
    return {{text.substr(hostStart, hostEnd - hostStart), PortOf(digits, defaultPort)}, false};
  }
  hostEnd = HostNameEnd(text, hostStart);
  if (hostEnd != std::string::npos && MatchPortAndTail(text, hostEnd, &digits)) {
    return {{text.substr(hostStart, hostEnd - hostStart), PortOf(digits, defaultPort)}, true};
  }
  return whole;
}

TcpAddress ParseTcpAddress(const std::string& text, int defaultPort) {
  TcpAddressText read = ReadTcpAddressText(text, defaultPort);
  if (read.hostName) {
    const std::string resolved = platform::ResolveHostName(read.address.host);
    if (!resolved.empty()) read.address.host = resolved;
  }
  return read.address;
}

}  // namespace quorlan
