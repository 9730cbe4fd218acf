// The message frame: a 16-bit type followed by numbered parameters, each
// written as tag, BER length and value.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "quorlan/message/hex_text.h"

namespace quorlan {

using ParameterMap = std::map<int, Bytes>;
using FrameType = uint16_t;

struct TlvItem {
  uint8_t tag = 0;
  Bytes value;
};

class OrvaneAPIFrameWork {
 public:
  explicit OrvaneAPIFrameWork(FrameType type = 0) : type(type) {}
  virtual ~OrvaneAPIFrameWork() = default;
  OrvaneAPIFrameWork(const OrvaneAPIFrameWork&) = default;
  OrvaneAPIFrameWork& operator=(const OrvaneAPIFrameWork&) = default;

  virtual Bytes Serialize() const;
  // The bytes of Serialize, appended to out.
  void AppendTo(Bytes& out) const;
  size_t SerializedSize() const;

  // Throws std::runtime_error("invalid data") for fewer than 3 bytes.
  static OrvaneAPIFrameWork Parse(const Bytes& bytes);
  // Nothing for fewer than 3 bytes.
  static std::optional<OrvaneAPIFrameWork> TryParse(const Bytes& bytes);
  static std::optional<OrvaneAPIFrameWork> TryParse(ByteView bytes);

  // Empty when the key is absent.
  Bytes GetParameter(int key) const;
  void SetParameter(int key, Bytes value);
  void SetParameterHex(int key, const std::string& hex);
  // Tags outside the two parameter ranges store under key -1, and tag 0x80
  // under key 0; neither survives a round trip through bytes.
  void SetParameterFromTag(uint8_t tag, const std::string& hex);

  ParameterMap parameters;
  FrameType type;
};

// Key of a parameter tag (0x81..0x9E -> 1..30, 0xA0..0xBE -> 31..61), or 0
// for a tag that names no parameter.
int ParameterKeyOfTag(uint8_t tag);
// Tag written for a key; 0xFF for keys outside 0..61.
uint8_t TagOfParameterKey(int key);
// Key under which a value set or looked up by tag is kept: as
// ParameterKeyOfTag, but 0x80 gives key 0 and tags naming no parameter -1.
int StoredKeyOfTag(uint8_t tag);

Bytes BerLengthBytes(uint32_t count);
std::string BerLengthToHex(uint32_t count);
// Tag and BER length of an item whose value is `length` bytes long.
void AppendTlvHeader(Bytes& out, uint8_t tag, size_t length);
size_t TlvHeaderSize(size_t length);

// Items in order up to a zero tag or the end of the data. An item whose
// length runs past the data keeps only the bytes that are there.
std::vector<TlvItem> ParseTlvItems(const uint8_t* data, size_t count);

// The items of ParseTlvItems one at a time, seen in place.
class TlvItemReader {
 public:
  TlvItemReader(const uint8_t* data, size_t count) : data_(data), count_(data == nullptr || count < 2 ? 0 : count) {}
  // False when no item is left.
  bool Next(uint8_t* tag, ByteView* value);

 private:
  const uint8_t* data_;
  size_t count_;
  size_t position_ = 0;
};

// A frame read in place: its parameters are seen inside the bytes it was read
// from (or inside the frame it was taken from), which must outlive it.
class FrameView {
 public:
  explicit FrameView(FrameType type = 0) : type(type) {}
  // Nothing for fewer than 3 bytes, as OrvaneAPIFrameWork::TryParse.
  static std::optional<FrameView> Read(ByteView bytes);
  // Parameters 0 to 61 of the frame.
  static FrameView Of(const OrvaneAPIFrameWork& frame);

  // Empty when absent.
  ByteView Parameter(int key) const;

  FrameType type;

 private:
  static constexpr int kKeys = 62;
  std::array<ByteView, kKeys> parameters_{};
};

}  // namespace quorlan
