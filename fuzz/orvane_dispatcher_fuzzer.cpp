// Any message a newer-platform reader may send, handed to its device as
// Quorlan hands it (hex text), through the real libQuorlan.so: the device
// raises its events without fault. A notification or a file message comes
// first as it is (event 3 or 12); any other message ends with itself
// (event 1) after at most two operation reports (event 13). Only a
// notification may start the device's file read, and at most one.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/ievent_subscriber.h"
#include "pelorixj/device/orvane_idevice.h"

using namespace pelorixj;

namespace {

struct Event {
  int type;
  std::string text;
};

class Recorder : public IEventSubscriber {
 public:
  void OnEvent(int eventType, ByteDataRecord payload) override { events.push_back({eventType, payload.Text}); }
  std::vector<Event> events;
};

bool IsOperationReport(const std::string& text) {
  static const std::regex report(
      "operation_(started|warning|failed|done),[0-9A-F]{8},Operation (Started|Running|Warning|Failed|Done),"
      "[0-9A-F]{8}");
  return std::regex_match(text, report);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string message = BytesToHexString(Bytes(data, data + size));
  std::atomic<int> reads{0};
  const auto subscriber = std::make_shared<Recorder>();
  Recorder& recorder = *subscriber;
  {
    // Never opened: acknowledgements find no link and nothing leaves the process.
    OrvaneIDevice device(kConnectionTcp, "127.0.0.1:1");
    device.SetFollowUpRead([&reads](const StopSignal&) { ++reads; });
    device.SubscribeAll(subscriber);
    try {
      device.OnDataArrive(message);
    } catch (const std::exception&) {
      // Notification and file handling may fail; what was raised before stands.
    }
  }
  const auto& events = recorder.events;
  if (events.empty()) {
    FUZZ_CHECK(reads == 0);
    return 0;
  }
  const int first = events.front().type;
  if (first == kEventDeviceNotification || first == kEventFileMessage) {
    FUZZ_CHECK(events.front().text == message);
    FUZZ_CHECK(reads == 0 || (first == kEventDeviceNotification && reads == 1));
    return 0;
  }
  FUZZ_CHECK(reads == 0);
  FUZZ_CHECK(events.size() <= 3);
  FUZZ_CHECK(events.back().type == kEventDeviceData && events.back().text == message);
  for (size_t i = 0; i + 1 < events.size(); ++i) {
    FUZZ_CHECK(events[i].type == kEventOperationStatus && IsOperationReport(events[i].text));
  }
  return 0;
}
