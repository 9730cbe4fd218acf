#include "quorlan/message/json_escape.h"

namespace quorlan {

std::string EscapeJsonString(const std::string& text) {
  static const char kHexDigits[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\b': escaped += "\\b"; break;
      case '\t': escaped += "\\t"; break;
      case '\n': escaped += "\\n"; break;
      case '\f': escaped += "\\f"; break;
      case '\r': escaped += "\\r"; break;
      case '"': escaped += "\\\""; break;
      case '/': escaped += "\\/"; break;
      case '\\': escaped += "\\\\"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          // Left raw, a control character would make the text invalid JSON.
          escaped += "\\u00";
          escaped += kHexDigits[(c >> 4) & 0x0F];
          escaped += kHexDigits[c & 0x0F];
        } else {
          escaped += c;
        }
        break;
    }
  }
  return escaped;
}

}  // namespace quorlan
