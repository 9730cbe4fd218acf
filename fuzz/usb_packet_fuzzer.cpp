// Packet reassembly of USB HID links: arbitrary reports, and the reports of a
// well-formed message.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "quorlan/transport/korvex_usb_hid_package.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::vector<std::vector<uint8_t>> received;
  KorvexUSBHIDPackage package;
  package.reportId = input.ConsumeIntegral<uint8_t>();
  package.SetReceiveCallback([&](std::vector<uint8_t> message) { received.push_back(std::move(message)); });

  if (input.ConsumeBool()) {
    const std::vector<uint8_t> content = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 4096));
    // What the package writes comes back report by report.
    std::vector<std::vector<uint8_t>> reports;
    package.Send(content,
                 [&](uint8_t* report, unsigned length) {
                   reports.emplace_back(report, report + length);
                   return 0;
                 },
                 nullptr);
    for (auto& report : reports) {
      FUZZ_CHECK(report.size() <= kPacketSize + 1);
      package.OnReceived(std::move(report));
    }
    FUZZ_CHECK(received.size() == 1);
    FUZZ_CHECK(received[0] == content);
  } else {
    size_t total = 0;
    while (input.remaining_bytes() > 0) {
      std::vector<uint8_t> report = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 80));
      total += report.size();
      package.OnReceived(std::move(report));
    }
    for (const auto& message : received) FUZZ_CHECK(message.size() <= total);
  }
  return 0;
}
