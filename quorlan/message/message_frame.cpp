#include "quorlan/message/message_frame.h"

#include <algorithm>
#include <stdexcept>

namespace quorlan {

int ParameterKeyOfTag(uint8_t tag) {
  if (tag >= 0x81 && tag <= 0x9E) return tag - 0x80;
  if (tag >= 0xA0 && tag <= 0xBE) return tag - 0x81;
  return 0;
}

int StoredKeyOfTag(uint8_t tag) {
  if (tag >= 0x80 && tag <= 0x9E) return tag - 0x80;
  if (tag >= 0xA0 && tag <= 0xBE) return tag - 0x81;
  return -1;
}

uint8_t TagOfParameterKey(int key) {
  auto k = static_cast<unsigned>(key);
  if (k <= 30) return static_cast<uint8_t>(0x80 + k);
  if (k <= 61) return static_cast<uint8_t>(0xA0 + (k - 31));
  return 0xFF;
}

Bytes BerLengthBytes(uint32_t count) {
  int size = count < 128 ? 0 : count < 256 ? 1 : count < 65536 ? 2 : count < 16777216 ? 3 : 4;
  Bytes out;
  out.push_back(static_cast<uint8_t>(size == 0 ? count : 0x80 + size));
  for (int i = size - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(count >> (8 * i)));
  return out;
}

std::string BerLengthToHex(uint32_t count) { return BytesToHexString(BerLengthBytes(count)); }

Bytes EncodeTlvItem(const TlvItem& item) {
  Bytes out;
  Bytes length = BerLengthBytes(static_cast<uint32_t>(item.value.size()));
  out.reserve(1 + length.size() + item.value.size());
  out.push_back(item.tag);
  out.insert(out.end(), length.begin(), length.end());
  out.insert(out.end(), item.value.begin(), item.value.end());
  return out;
}

std::vector<TlvItem> ParseTlvItems(const uint8_t* data, size_t count) {
  std::vector<TlvItem> items;
  if (data == nullptr || count < 2) return items;
  size_t p = 0;
  while (p < count) {
    uint8_t tag = data[p];
    if (tag == 0x00 || p + 1 >= count) break;
    uint8_t first = data[p + 1];
    p += 2;
    int32_t length = first;
    if (first & 0x80) {
      size_t digits = first & 0x7F;
      uint32_t built = 0;
      for (size_t i = 0; i < digits && p < count; ++i, ++p) {
        built = (built << 8) | data[p];
      }
      length = static_cast<int32_t>(built);
    }
    TlvItem item;
    item.tag = tag;
    if (length > 0) {
      size_t take = std::min(static_cast<size_t>(length), count - p);
      item.value.assign(data + p, data + p + take);
      p += take;
    }
    items.push_back(std::move(item));
  }
  return items;
}

Bytes OrvaneAPIFrameWork::Serialize() const {
  Bytes out = {static_cast<uint8_t>(type >> 8), static_cast<uint8_t>(type & 0xFF)};
  for (const auto& [key, value] : parameters) {
    Bytes item = EncodeTlvItem(TlvItem{TagOfParameterKey(key), value});
    out.insert(out.end(), item.begin(), item.end());
  }
  return out;
}

OrvaneAPIFrameWork OrvaneAPIFrameWork::Parse(const Bytes& bytes) {
  auto frame = TryParse(bytes);
  if (!frame) throw std::runtime_error("invalid data");
  return std::move(*frame);
}

std::optional<OrvaneAPIFrameWork> OrvaneAPIFrameWork::TryParse(const Bytes& bytes) {
  if (bytes.size() < 3) return std::nullopt;
  OrvaneAPIFrameWork frame(static_cast<FrameType>(bytes[0] << 8 | bytes[1]));
  for (TlvItem& item : ParseTlvItems(bytes.data() + 2, bytes.size() - 2)) {
    int key = ParameterKeyOfTag(item.tag);
    if (key != 0) frame.parameters[key] = std::move(item.value);
  }
  return frame;
}

Bytes OrvaneAPIFrameWork::GetParameter(int key) const {
  auto found = parameters.find(key);
  return found == parameters.end() ? Bytes() : found->second;
}

void OrvaneAPIFrameWork::SetParameter(int key, Bytes value) { parameters[key] = std::move(value); }

void OrvaneAPIFrameWork::SetParameterHex(int key, const std::string& hex) {
  SetParameter(key, HexStringToBytes(hex));
}

void OrvaneAPIFrameWork::SetParameterFromTag(uint8_t tag, const std::string& hex) {
  SetParameterHex(StoredKeyOfTag(tag), hex);
}

}  // namespace quorlan
