#include "quorlan/message/plain_text.h"

namespace quorlan {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

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

}  // namespace quorlan
