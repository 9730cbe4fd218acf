// Serial frames: unstuffing arbitrary bytes, stuffing round trips, and the
// serial package reassembling arbitrary byte streams cut into arbitrary blocks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "quorlan/transport/serial_communication_package.h"
#include "quorlan/transport/serial_frame.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto unstuffed = UnstuffFrame(data, size);
  if (unstuffed) FUZZ_CHECK(unstuffed->size() < size);

  FuzzedDataProvider input(data, size);
  const std::vector<uint8_t> content = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 2048));
  const std::vector<uint8_t> frame = StuffFrame(content);
  // An empty frame is too short to read back.
  const auto back = UnstuffFrame(frame.data(), frame.size() - 1);
  FUZZ_CHECK(content.empty() ? !back : back && *back == content);

  std::vector<std::vector<uint8_t>> received;
  SerialCommunicationPackage package;
  package.SetReceiveCallback([&](std::vector<uint8_t> message) { received.push_back(std::move(message)); });
  size_t total = 0;
  while (input.remaining_bytes() > 0) {
    std::vector<uint8_t> block = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 300));
    total += block.size();
    package.OnReceived(std::move(block));
  }
  for (const auto& message : received) FUZZ_CHECK(message.size() <= total);
  FUZZ_CHECK(package.ChunkLimit() > 0);
  return 0;
}
