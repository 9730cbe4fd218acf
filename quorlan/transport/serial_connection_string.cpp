#include "quorlan/transport/serial_connection_string.h"

#include <cctype>
#include <climits>

#include "quorlan/message/plain_text.h"

namespace quorlan {
namespace {

const char kPrefix[] = "SERIAL://";

// atoi, but out-of-range numbers saturate instead of being undefined.
int DecimalPrefix(const std::string& text) {
  size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  long long value = 0;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) return static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

int PortNumberOf(const std::string& value) {
  if (value.compare(0, 3, "COM") != 0) return 0;
  return DecimalPrefix(value.substr(3));
}

int ParityOf(const std::string& value) {
  if (value == "NONE" || value == "N") return 0;
  if (value == "ODD" || value == "O") return 1;
  if (value == "EVEN" || value == "E") return 2;
  if (value == "MARK" || value == "M") return 3;
  if (value == "SPACE" || value == "S") return 4;
  throw InvalidConnectionString("unknown parity " + value);
}

int StopBitsOf(const std::string& value) {
  if (value == "1") return 0;
  if (value == "1.5") return 1;
  if (value == "2") return 2;
  throw InvalidConnectionString("unknown stop bits " + value);
}

}  // namespace

SerialConnectionSettings ParseSerialConnectionString(const std::string& text) {
  std::string items = ToUpper(text);
  if (items.compare(0, sizeof kPrefix - 1, kPrefix) == 0) items.erase(0, sizeof kPrefix - 1);

  SerialConnectionSettings settings;
  for (const std::string& item : SplitString(items, ",")) {
    std::vector<std::string> parts = SplitString(item, "=");
    if (parts.size() != 2 || parts[0].empty() || parts[1].empty()) continue;
    const std::string key = TrimBlanks(parts[0]);
    const std::string value = TrimBlanks(parts[1]);
    if (key == "PORT") {
      settings.portNumber = PortNumberOf(value);
    } else if (key == "BAUDRATE") {
      settings.line.baudRate = DecimalPrefix(value);
    } else if (key == "PARITY") {
      settings.line.parity = ParityOf(value);
    } else if (key == "DATABITS") {
      settings.line.dataBits = DecimalPrefix(value);
    } else if (key == "STOPBITS") {
      settings.line.stopBits = StopBitsOf(value);
    }
  }
  return settings;
}

}  // namespace quorlan
