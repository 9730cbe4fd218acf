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

namespace {

// Bytes after the first of a BER length field.
int BerLengthDigits(uint32_t count) {
  return count < 128 ? 0 : count < 256 ? 1 : count < 65536 ? 2 : count < 16777216 ? 3 : 4;
}

void AppendBerLength(Bytes& out, uint32_t count) {
  const int digits = BerLengthDigits(count);
  out.push_back(static_cast<uint8_t>(digits == 0 ? count : 0x80 + digits));
  for (int i = digits - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(count >> (8 * i)));
}

// Calls store(key, value) for each parameter of a frame of at least 3 bytes
// and returns its type; a key given twice is stored twice, the last one last.
template <class Store>
FrameType ReadParameters(ByteView bytes, Store store) {
  TlvItemReader reader(bytes.data + 2, bytes.size - 2);
  uint8_t tag;
  ByteView value;
  while (reader.Next(&tag, &value)) {
    const int key = ParameterKeyOfTag(tag);
    if (key != 0) store(key, value);
  }
  return static_cast<FrameType>(bytes[0] << 8 | bytes[1]);
}

}  // namespace

Bytes BerLengthBytes(uint32_t count) {
  Bytes out;
  AppendBerLength(out, count);
  return out;
}

std::string BerLengthToHex(uint32_t count) { return BytesToHexString(BerLengthBytes(count)); }

void AppendTlvHeader(Bytes& out, uint8_t tag, size_t length) {
  out.push_back(tag);
  AppendBerLength(out, static_cast<uint32_t>(length));
}

size_t TlvHeaderSize(size_t length) { return 2 + BerLengthDigits(static_cast<uint32_t>(length)); }

bool TlvItemReader::Next(uint8_t* tag, ByteView* value) {
  size_t p = position_;
  if (p >= count_ || data_[p] == 0x00 || p + 1 >= count_) {
    position_ = count_;
    return false;
  }
  *tag = data_[p];
  const uint8_t first = data_[p + 1];
  p += 2;
  int32_t length = first;
  if (first & 0x80) {
    const size_t digits = first & 0x7F;
    uint32_t built = 0;
    for (size_t i = 0; i < digits && p < count_; ++i, ++p) {
      built = (built << 8) | data_[p];
    }
    length = static_cast<int32_t>(built);
  }
  size_t take = 0;
  if (length > 0) take = std::min(static_cast<size_t>(length), count_ - p);
  *value = ByteView{data_ + p, take};
  position_ = p + take;
  return true;
}

std::vector<TlvItem> ParseTlvItems(const uint8_t* data, size_t count) {
  std::vector<TlvItem> items;
  TlvItemReader reader(data, count);
  TlvItem item;
  ByteView value;
  while (reader.Next(&item.tag, &value)) {
    item.value = value.ToBytes();
    items.push_back(std::move(item));
  }
  return items;
}

std::optional<FrameView> FrameView::Read(ByteView bytes) {
  if (bytes.size < 3) return std::nullopt;
  FrameView frame;
  frame.type = ReadParameters(bytes, [&](int key, ByteView value) { frame.parameters_[key] = value; });
  return frame;
}

FrameView FrameView::Of(const OrvaneAPIFrameWork& frame) {
  FrameView view(frame.type);
  for (const auto& [key, value] : frame.parameters) {
    if (key >= 0 && key < kKeys) view.parameters_[key] = ViewOf(value);
  }
  return view;
}

ByteView FrameView::Parameter(int key) const {
  return key >= 0 && key < kKeys ? parameters_[key] : ByteView();
}

size_t OrvaneAPIFrameWork::SerializedSize() const {
  size_t size = 2;
  for (const auto& entry : parameters) size += TlvHeaderSize(entry.second.size()) + entry.second.size();
  return size;
}

void OrvaneAPIFrameWork::AppendTo(Bytes& out) const {
  out.push_back(static_cast<uint8_t>(type >> 8));
  out.push_back(static_cast<uint8_t>(type & 0xFF));
  for (const auto& [key, value] : parameters) {
    AppendTlvHeader(out, TagOfParameterKey(key), value.size());
    out.insert(out.end(), value.begin(), value.end());
  }
}

Bytes OrvaneAPIFrameWork::Serialize() const {
  Bytes out;
  out.reserve(SerializedSize());
  AppendTo(out);
  return out;
}

OrvaneAPIFrameWork OrvaneAPIFrameWork::Parse(const Bytes& bytes) {
  auto frame = TryParse(bytes);
  if (!frame) throw std::runtime_error("invalid data");
  return std::move(*frame);
}

std::optional<OrvaneAPIFrameWork> OrvaneAPIFrameWork::TryParse(const Bytes& bytes) { return TryParse(ViewOf(bytes)); }

std::optional<OrvaneAPIFrameWork> OrvaneAPIFrameWork::TryParse(ByteView bytes) {
  if (bytes.size < 3) return std::nullopt;
  OrvaneAPIFrameWork frame;
  frame.type = ReadParameters(bytes, [&](int key, ByteView value) { frame.parameters[key] = value.ToBytes(); });
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
