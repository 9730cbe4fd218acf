#include "pelorixj/device/configuration_support.h"

#include <cstdio>
#include <utility>

#include "pelorixj/device/hex_conversions.h"

namespace pelorixj {

void ReportResult(IConfigurationCallback* callback, int status, std::vector<uint8_t> data) {
  if (callback == nullptr) return;
  try {
    callback->OnResult(status, std::move(data));
  } catch (...) {
  }
}

std::string HexByte(uint8_t value) { return BytesToHexString({value}); }

std::string Hex4(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value));
  return text;
}

}  // namespace pelorixj
