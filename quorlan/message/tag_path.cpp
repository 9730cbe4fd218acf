#include "quorlan/message/tag_path.h"

#include <climits>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "quorlan/message/ber_tlv.h"
#include "quorlan/message/plain_text.h"

namespace quorlan {
namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// Key of the parameter the first element names; nothing when it names none.
std::optional<int> ParameterKeyOfPathHead(const std::string& element) {
  const char* start = element.c_str();
  char* end = nullptr;
  const long long tag = std::strtoll(start, &end, 16);
  if (end == start) throw std::invalid_argument("tag path: no parameter tag");
  if (tag >= 0x80 && tag <= 0x9E) return static_cast<int>(tag - 0x80);
  if (tag >= 0xA0 && tag <= 0xBE) return static_cast<int>(tag - 0x81);
  return std::nullopt;
}

struct PathStep {
  std::string tag;
  int occurrence = 0;
};

// "([A-Fa-f0-9]+)(\((\d+)\))?" over the whole element; nothing when it does not match.
std::optional<PathStep> ReadPathStep(const std::string& element) {
  size_t p = 0;
  while (p < element.size() && IsHexDigit(element[p])) ++p;
  if (p == 0) return std::nullopt;
  PathStep step{element.substr(0, p), 0};
  if (p == element.size()) return step;
  if (element[p] != '(' || element.back() != ')') return std::nullopt;
  const size_t digitsEnd = element.size() - 1;
  if (digitsEnd == p + 1) return std::nullopt;
  for (size_t i = p + 1; i < digitsEnd; ++i) {
    if (!IsDecimalDigit(element[i])) return std::nullopt;
  }
  long long occurrence = 0;
  for (size_t i = p + 1; i < digitsEnd; ++i) {
    occurrence = occurrence * 10 + (element[i] - '0');
    if (occurrence > INT_MAX) throw std::out_of_range("tag path: index out of range");
  }
  step.occurrence = static_cast<int>(occurrence);
  return step;
}

// Whether text is the upper-case hexadecimal text of the tag's bytes.
bool IsTextOfTag(const std::string& text, ByteView tag) {
  if (text.size() != 2 * tag.size) return false;
  char digits[2 * kMaxTlvTagBytes];
  EncodeHex(tag.data, tag.size, digits);
  return text.compare(0, text.size(), digits, text.size()) == 0;
}

}  // namespace

ByteView SelectByTagPath(const FrameView& frame, const std::string& path) {
  const std::vector<std::string> elements = SplitString(path, ".");
  if (elements.empty()) return ByteView();
  const std::optional<int> key = ParameterKeyOfPathHead(elements[0]);
  if (!key) return ByteView();
  ByteView value = frame.Parameter(*key);
  // Read when a step needs them, again only after a step changed the value.
  std::optional<std::vector<TlvItemView>> items;
  for (size_t i = 1; i < elements.size(); ++i) {
    const std::optional<PathStep> step = ReadPathStep(elements[i]);
    if (!step) continue;
    if (!items) items = ReadBerTlvTopLevel(value);
    const TlvItemView* taken = nullptr;
    int remaining = step->occurrence;
    for (const TlvItemView& item : *items) {
      if (IsTextOfTag(step->tag, item.tag) && remaining-- == 0) {
        taken = &item;
        break;
      }
    }
    if (taken == nullptr) continue;
    value = taken->value;
    items.reset();
  }
  return value;
}

Bytes SelectByTagPath(const OrvaneAPIFrameWork& frame, const std::string& path) {
  return SelectByTagPath(FrameView::Of(frame), path).ToBytes();
}

}  // namespace quorlan
