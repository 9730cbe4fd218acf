#include "quorlan/transport/device_list_entry.h"

#include <cstdio>

#include "quorlan/message/json_escape.h"

namespace quorlan {
namespace {

std::string Hex4(uint16_t value) {
  char text[5];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

// Bytes in the UTF-8 sequence that starts with lead; 1 for a stray byte, so
// that malformed text still advances.
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::string ClipToUtf16Units(const std::string& text, size_t maxUnits) {
  size_t units = 0;
  size_t end = 0;
  while (end < text.size() && text[end] != '\0') {
    const size_t length = SequenceLength(static_cast<unsigned char>(text[end]));
    // Characters beyond the basic plane take a surrogate pair.
    const size_t needed = length == 4 ? 2 : 1;
    if (units + needed > maxUnits || end + length > text.size()) break;
    units += needed;
    end += length;
  }
  return text.substr(0, end);
}

std::string BuildDeviceListEntry(const std::string& serialNumber, const std::string& product,
                                 uint16_t productId, uint16_t vendorId, const std::string& path) {
  const std::string serial = EscapeJsonString(serialNumber);
  return "{\"DSN\":\"" + serial + "\",\"Name\":\"" + serial + "\",\"Product\":\"" +
         EscapeJsonString(product) + "\",\"PID\":\"" + Hex4(productId) + "\",\"VID\":\"" +
         Hex4(vendorId) + "\",\"Path\":\"" + EscapeJsonString(path) + "\"}";
}

}  // namespace quorlan
