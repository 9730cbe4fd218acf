#include "quorlan/message/hex_text.h"

#include <cstdlib>

namespace quorlan {
namespace {

const char kHexDigits[] = "0123456789ABCDEF";

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The general case of one piece: white space, signs and "0x" as strtoul reads them.
uint8_t PieceValue(const std::string& piece) {
  return static_cast<uint8_t>(std::strtoul(piece.c_str(), nullptr, 16));
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

Bytes HexStringToBytes(const std::string& text) {
  Bytes bytes;
  bytes.reserve(text.size() / 2 + 1);
  for (size_t pos = 0; pos < text.size(); pos += 2) {
    if (pos + 1 < text.size()) {
      int high = HexDigitValue(text[pos]);
      int low = HexDigitValue(text[pos + 1]);
      if (high >= 0 && low >= 0) {
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
        continue;
      }
    }
    bytes.push_back(PieceValue(text.substr(pos, 2)));
  }
  return bytes;
}

std::string BytesToHexString(const Bytes& bytes) {
  std::string text(bytes.size() * 2, '0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    text[2 * i] = kHexDigits[bytes[i] >> 4];
    text[2 * i + 1] = kHexDigits[bytes[i] & 0x0F];
  }
  return text;
}

std::string BufferToHexString(const uint8_t* data, int count) {
  try {
    return BytesToHexString(MakeByteVector(data, count));
  } catch (...) {
    return std::string();
  }
}

std::string IntToHexBytes(int value) {
  Bytes bytes;
  if (value <= 0) {
    bytes.push_back(0);
  }
  while (value > 0) {
    bytes.insert(bytes.begin(), static_cast<uint8_t>(value & 0xFF));
    value /= 256;
  }
  return BytesToHexString(bytes);
}

Bytes MakeByteVector(const uint8_t* data, int count) {
  if (data == nullptr || count <= 0) return Bytes();
  return Bytes(data, data + count);
}

std::string ToUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::vector<std::string> SplitString(const std::string& text, const std::string& delimiter) {
  if (delimiter.empty()) return {text};
  std::vector<std::string> pieces;
  size_t start = 0;
  while (start < text.size()) {
    size_t found = text.find(delimiter, start);
    if (found == std::string::npos) {
      pieces.push_back(text.substr(start));
      break;
    }
    pieces.push_back(text.substr(start, found - start));
    start = found + delimiter.size();
  }
  return pieces;
}

std::string RightTrimBlanks(std::string text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  text.erase(end);
  return text;
}

std::string TrimBlanks(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  return RightTrimBlanks(text.substr(start));
}

std::string EscapeJsonString(const std::string& text) {
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
