// BER-TLV data: items with multi-byte tags, BER lengths and constructed
// items, read either across all levels or at the top level only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quorlan/message/hex_text.h"

namespace quorlan {

// A tag longer than this ends the reading where it starts.
constexpr size_t kMaxTlvTagBytes = 32;
// Constructed items open at once; the flat reader stops at one more. Each
// open item copies the rest of its value, so this also bounds the copying to
// this many times the size of the data.
constexpr size_t kMaxBerTlvDepth = 16;

struct TlvNode {
  // A negative length is taken from the value: its byte count.
  TlvNode(std::string tag, std::string value, int length = -1);

  std::string tag;    // upper-case hexadecimal
  std::string value;  // upper-case hexadecimal, cut at the end of the data
  int length;         // as stated by the length field
};

using TlvNodes = std::vector<TlvNode>;

// Every item at every level, in the order read: a constructed item is
// followed by the items inside it. Values running past the data are cut.
TlvNodes ParseBerTlvFlat(const uint8_t* data, size_t count);
TlvNodes ParseBerTlvFlat(const Bytes& bytes);

// The items of the top level only; empty as soon as one runs past the data.
TlvNodes ParseBerTlvTopLevel(const uint8_t* data, size_t count);
TlvNodes ParseBerTlvTopLevel(const Bytes& bytes);

// An item seen in place.
struct TlvItemView {
  ByteView tag;
  ByteView value;
};

// The items of ParseBerTlvTopLevel, seen in place.
std::vector<TlvItemView> ReadBerTlvTopLevel(ByteView bytes);

// Value text of the first node whose tag equals the upper-cased tag; the
// empty text when there is none.
std::string FindTlvValue(const TlvNodes& nodes, const std::string& tag);

}  // namespace quorlan
