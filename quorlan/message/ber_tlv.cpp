#include "quorlan/message/ber_tlv.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "quorlan/message/plain_text.h"

namespace quorlan {
namespace {

struct ItemHeader {
  ByteView tag;
  bool constructed = false;
  // Saturated well above any count of data, so it still runs past the data.
  uint64_t length = 0;
};

constexpr uint64_t kLengthCeiling = uint64_t{1} << 40;

// Reads tag and length field at p and moves p to the value. Nothing when
// the reading ends here: a zero tag byte, a tag too long for the store, or
// no room left for the length field.
std::optional<ItemHeader> ReadItemHeader(const uint8_t* data, size_t count, size_t& p) {
  if (p >= count || data[p] == 0x00) return std::nullopt;
  const size_t tagStart = p;
  const uint8_t first = data[p++];
  if ((first & 0x1F) == 0x1F) {
    while (p < count && data[p] != 0x00) {
      if (p - tagStart == kMaxTlvTagBytes) return std::nullopt;
      const uint8_t next = data[p++];
      if ((next & 0x80) == 0) break;
    }
  }
  if (p >= count) return std::nullopt;

  ItemHeader header;
  header.tag = ByteView{data + tagStart, p - tagStart};
  header.constructed = (first & 0x20) != 0;
  const uint8_t lengthByte = data[p++];
  if (lengthByte < 0x80) {
    header.length = lengthByte;
  } else {
    const size_t digits = lengthByte & 0x7F;
    for (size_t i = 0; i < digits && p < count; ++i) {
      header.length = std::min(header.length << 8 | data[p++], kLengthCeiling);
    }
  }
  return header;
}

int StatedLength(uint64_t length) { return static_cast<int>(std::min<uint64_t>(length, INT_MAX)); }

std::string HexOf(ByteView bytes) { return BytesToHexString(bytes.data, bytes.size); }

}  // namespace

TlvNode::TlvNode(std::string tag, std::string value, int length)
    : tag(std::move(tag)), value(std::move(value)), length(length) {
  if (this->length < 0) this->length = static_cast<int>((this->value.size() + 1) / 2);
}

TlvNodes ParseBerTlvFlat(const uint8_t* data, size_t count) {
  TlvNodes nodes;
  if (data == nullptr || count < 2) return nodes;
  // Where the values of the constructed items that enclose p end.
  std::vector<uint64_t> openEnds;
  size_t p = 0;
  while (p < count) {
    openEnds.erase(std::remove_if(openEnds.begin(), openEnds.end(), [p](uint64_t end) { return end <= p; }),
                   openEnds.end());
    auto header = ReadItemHeader(data, count, p);
    if (!header) break;
    if (header->constructed && openEnds.size() == kMaxBerTlvDepth) break;
    const size_t available = static_cast<size_t>(std::min<uint64_t>(header->length, count - p));
    nodes.emplace_back(HexOf(header->tag), BytesToHexString(data + p, available), StatedLength(header->length));
    if (header->constructed) {
      openEnds.push_back(p + header->length);
    } else {
      p += available;
    }
  }
  return nodes;
}

TlvNodes ParseBerTlvFlat(const Bytes& bytes) { return ParseBerTlvFlat(bytes.data(), bytes.size()); }

std::vector<TlvItemView> ReadBerTlvTopLevel(ByteView bytes) {
  std::vector<TlvItemView> items;
  const uint8_t* data = bytes.data;
  const size_t count = bytes.size;
  if (data == nullptr || count < 2) return items;
  size_t p = 0;
  while (p < count) {
    auto header = ReadItemHeader(data, count, p);
    if (!header) break;
    if (header->length > count - p) {
      items.clear();
      break;
    }
    const auto length = static_cast<size_t>(header->length);
    items.push_back(TlvItemView{header->tag, ByteView{data + p, length}});
    p += length;
  }
  return items;
}

TlvNodes ParseBerTlvTopLevel(const uint8_t* data, size_t count) {
  TlvNodes nodes;
  for (const TlvItemView& item : ReadBerTlvTopLevel(ByteView{data, count})) {
    nodes.emplace_back(HexOf(item.tag), HexOf(item.value), StatedLength(item.value.size));
  }
  return nodes;
}

TlvNodes ParseBerTlvTopLevel(const Bytes& bytes) { return ParseBerTlvTopLevel(bytes.data(), bytes.size()); }

std::string FindTlvValue(const TlvNodes& nodes, const std::string& tag) {
  const std::string wanted = ToUpper(tag);
  for (const TlvNode& node : nodes) {
    if (node.tag == wanted) return node.value;
  }
  return std::string();
}

}  // namespace quorlan
