// TCP address texts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "quorlan/transport/tcp_address.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Reading only: resolving names would ask the network.
  const TcpAddress address = ReadTcpAddressText(std::string(reinterpret_cast<const char*>(data), size)).address;
  FUZZ_CHECK(address.port >= -1 && address.port <= 65535);
  FUZZ_CHECK(address.host.size() <= size);
  return 0;
}
