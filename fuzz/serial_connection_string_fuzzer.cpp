// Serial connection strings.
#include <cstddef>
#include <cstdint>
#include <string>

#include "quorlan/transport/serial_connection_string.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    ParseSerialConnectionString(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const InvalidConnectionString&) {
  }
  return 0;
}
