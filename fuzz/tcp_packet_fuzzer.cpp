// Packet reassembly of TCP links: arbitrary streams cut into arbitrary
// blocks, and well-formed messages cut at arbitrary points.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "quorlan/transport/korvex_communication_package.h"

using namespace quorlan;

namespace {

// Feeds the stream in blocks whose sizes the input picks.
void FeedInBlocks(KorvexCommunicationPackage& package, const std::vector<uint8_t>& stream,
                  FuzzedDataProvider& input) {
  size_t at = 0;
  while (at < stream.size()) {
    const size_t length = input.ConsumeIntegralInRange<size_t>(0, stream.size() - at);
    package.OnReceived(std::vector<uint8_t>(stream.begin() + at, stream.begin() + at + length));
    at += length;
    if (input.remaining_bytes() == 0 && at < stream.size()) {
      package.OnReceived(std::vector<uint8_t>(stream.begin() + at, stream.end()));
      at = stream.size();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::vector<std::vector<uint8_t>> received;
  KorvexCommunicationPackage package;
  package.SetReceiveCallback([&](std::vector<uint8_t> message) { received.push_back(std::move(message)); });

  const bool wellFormed = input.ConsumeBool();
  const std::vector<uint8_t> content = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 4096));
  if (wellFormed) {
    // A reader pads its last packet to the full 64 bytes.
    std::vector<uint8_t> stream = BuildPackets(content.data(), content.size()).bytes;
    stream.resize((stream.size() + kPacketSize - 1) / kPacketSize * kPacketSize);
    FeedInBlocks(package, stream, input);
    FUZZ_CHECK(received.size() == 1);
    FUZZ_CHECK(received[0] == content);
  } else {
    FeedInBlocks(package, content, input);
    for (const auto& message : received) FUZZ_CHECK(message.size() <= content.size());
  }
  return 0;
}
