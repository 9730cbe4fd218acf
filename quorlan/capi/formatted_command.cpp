#include "quorlan/capi/formatted_command.h"

#include <map>

#include "quorlan/message/command_envelope.h"
#include "quorlan/message/plain_text.h"

namespace quorlan {
namespace {

// The grammar was first written as the regular expressions "^\s?(.+)\s?$"
// for a piece and "^(\w+)=(\w+)?$" for an item. They are matched by hand
// because a backtracking regex engine recurses once per character, and item
// values can be megabytes long.

bool IsRegexSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsLineTerminator(char c) { return c == '\n' || c == '\r'; }

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// "^\s?(.+)\s?$": the group is the piece without one optional leading
// white-space character (and, where the rest could not otherwise match, one
// trailing one); "." takes anything but a line terminator.
std::optional<std::string> PieceBody(const std::string& piece) {
  if (piece.empty()) return std::nullopt;
  const size_t end = piece.size();
  for (size_t begin : {size_t{1}, size_t{0}}) {
    if (begin == 1 && !IsRegexSpace(piece[0])) continue;
    size_t firstTerminator = begin;
    while (firstTerminator < end && !IsLineTerminator(piece[firstTerminator])) ++firstTerminator;
    if (firstTerminator == end && end > begin) return piece.substr(begin);
    if (firstTerminator == end - 1 && end - 1 > begin) {
      return piece.substr(begin, end - 1 - begin);
    }
  }
  return std::nullopt;
}

// Signed 32-bit hexadecimal as std::stoi reads it; nothing on no digits or overflow.
std::optional<int> HexNumber(const std::string& text) {
  try {
    return std::stoi(text, nullptr, 16);
  } catch (...) {
    return std::nullopt;
  }
}

struct Item {
  std::string tag;
  std::string value;
};

// "^(\w+)=(\w+)?$"
std::optional<Item> SplitItem(const std::string& body) {
  size_t equals = body.find('=');
  if (equals == 0 || equals == std::string::npos) return std::nullopt;
  for (size_t i = 0; i < body.size(); ++i) {
    if (i != equals && !IsWordChar(body[i])) return std::nullopt;
  }
  return Item{body.substr(0, equals), body.substr(equals + 1)};
}

}  // namespace

std::optional<Bytes> BuildFormattedCommand(const std::string& text) {
  std::vector<std::string> pieces = SplitString(text, ",");
  if (pieces.empty()) return std::nullopt;
  std::vector<std::string> bodies;
  for (const std::string& piece : pieces) {
    auto body = PieceBody(piece);
    if (!body) return std::nullopt;
    bodies.push_back(std::move(*body));
  }
  auto code = HexNumber(bodies[0]);
  if (!code) return std::nullopt;
  std::map<uint8_t, std::string> parameters;
  for (size_t i = 1; i < bodies.size(); ++i) {
    auto item = SplitItem(bodies[i]);
    if (!item) return std::nullopt;
    auto tag = HexNumber(item->tag);
    if (!tag) return std::nullopt;
    parameters[static_cast<uint8_t>(*tag)] = std::move(item->value);
  }
  OrvaneCommand command(static_cast<uint16_t>(*code));
  for (const auto& [tag, value] : parameters) {
    command.frame.SetParameterFromTag(tag, value);
  }
  return command.Serialize();
}

}  // namespace quorlan
