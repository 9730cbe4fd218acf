#include "transport/tcp_address.h"

#include <regex>

#include "platform/socket.h"

namespace quorlan {
namespace {

const std::regex& Ipv4Form() {
  static const std::regex form(R"(tcp\://(\d{1,3}\.\d{1,3}\.\d{1,3}\.\d{1,3})(\:\d+)?((/|;)(.*))?$)",
                               std::regex::ECMAScript | std::regex::icase);
  return form;
}

const std::regex& HostNameForm() {
  static const std::regex form(R"(tcp\://(\w+)(\:\d+)?((/|;)(.*))?$)", std::regex::ECMAScript | std::regex::icase);
  return form;
}

// Digits after the colon; more digits than any port has would overflow a long.
int PortOf(const std::ssub_match& group, int defaultPort) {
  if (!group.matched) return defaultPort;
  const std::string digits = group.str().substr(1);
  const auto significant = digits.find_first_not_of('0');
  if (significant == std::string::npos) return 0;
  if (digits.size() - significant > 5) return -1;
  const long port = std::stol(digits);
  return port <= 0xFFFF ? static_cast<int>(port) : -1;
}

}  // namespace

TcpAddress ParseTcpAddress(const std::string& text, int defaultPort) {
  std::smatch match;
  if (std::regex_match(text, match, Ipv4Form())) return {match[1].str(), PortOf(match[2], defaultPort)};
  if (std::regex_match(text, match, HostNameForm())) {
    const std::string name = match[1].str();
    const std::string resolved = platform::ResolveHostName(name);
    return {resolved.empty() ? name : resolved, PortOf(match[2], defaultPort)};
  }
  return {text, defaultPort};
}

}  // namespace quorlan
