// The older family's callbacks, called as its library calls them, with any
// payloads and codes, in any order, subscribed or not: each becomes at most
// one event with the payload as given.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "pelorixj/brannet/brannet_idevice.h"
#include "pelorixj/brannet/brannet_idevice_control.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/ievent_subscriber.h"

using namespace pelorixj;

namespace {

struct Event {
  int type;
  ByteDataRecord payload;
};

class Recorder : public IEventSubscriber {
 public:
  void OnEvent(int eventType, ByteDataRecord payload) override { events.push_back({eventType, std::move(payload)}); }
  std::vector<Event> events;
};

enum Kind : uint8_t { kConnection, kCardData, kDeviceResponse, kNotification, kToggleSubscriber, kKindCount };

// The event that a callback should raise; type -1 for none.
Event Expected(Kind kind, uint32_t value, const std::string& text) {
  switch (kind) {
    case kConnection:
      // The library's value is a one-byte boolean.
      return {kEventConnectionStateChanged, ByteDataRecord((value & 0xFF) != 0 ? "04" : "01")};
    case kCardData:
      return {kEventDeviceResponse, ByteDataRecord(text)};
    case kDeviceResponse:
      return {kEventDeviceData, ByteDataRecord(text)};
    case kNotification:
      if (value >= 0x300 && value <= 0x305) return {kEventTransaction + static_cast<int>(value - 0x300), ByteDataRecord(text)};
      return {-1, ByteDataRecord()};
    default:
      return {-1, ByteDataRecord()};
  }
}

void Fire(Kind kind, void* context, uint32_t value, const char* text) {
  switch (kind) {
    case kConnection:
      BrannetIDeviceControl::ConnectionStateChangedCallback(1, context, static_cast<int>(value));
      break;
    case kCardData:
      BrannetIDeviceControl::DataReceivedCallback(1, context, text);
      break;
    case kDeviceResponse:
      BrannetIDeviceControl::DeviceResponseCallback(1, context, text);
      break;
    case kNotification:
      BrannetIDeviceControl::NotificationDataCallback(1, context, value, text);
      break;
    default:
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BrannetIDevice device(kConnectionUsb, "HID://FUZZ");
  // The context that the control registers is the control itself.
  void* context = device.GetDeviceControl();
  // A control whose handlers nobody bound: its callbacks do nothing.
  BrannetIDeviceControl unbound(kConnectionUsb, "HID://UNBOUND", BrannetHandlers{});
  const auto subscriber = std::make_shared<Recorder>();
  Recorder& recorder = *subscriber;
  bool subscribed = false;

  // Records of [kind, with a null text when bit 7 is set][value, 4 bytes]
  // [text length][text]; the text is cut at its first zero byte, as a C text is.
  size_t at = 0;
  while (at + 6 <= size) {
    const Kind kind = static_cast<Kind>((data[at] & 0x7F) % kKindCount);
    const bool nullText = (data[at] & 0x80) != 0;
    const uint32_t value = static_cast<uint32_t>(data[at + 1]) << 24 | static_cast<uint32_t>(data[at + 2]) << 16 |
                           static_cast<uint32_t>(data[at + 3]) << 8 | data[at + 4];
    const size_t length = std::min<size_t>(data[at + 5], size - at - 6);
    const std::string bytes(reinterpret_cast<const char*>(data) + at + 6, length);
    at += 6 + length;

    if (kind == kToggleSubscriber) {
      subscribed = !subscribed;
      FUZZ_CHECK(subscribed ? device.SubscribeAll(subscriber) : device.UnsubscribeAll());
      continue;
    }
    const char* text = nullText ? nullptr : bytes.c_str();
    const Event expected = Expected(kind, value, nullText ? std::string() : std::string(bytes.c_str()));

    Fire(kind, &unbound, value, text);
    Fire(kind, nullptr, value, text);
    const size_t before = recorder.events.size();
    Fire(kind, context, value, text);
    if (!subscribed || expected.type < 0) {
      FUZZ_CHECK(recorder.events.size() == before);
      continue;
    }
    FUZZ_CHECK(recorder.events.size() == before + 1);
    const Event& raised = recorder.events.back();
    FUZZ_CHECK(raised.type == expected.type);
    FUZZ_CHECK(raised.payload.Text == expected.payload.Text);
    FUZZ_CHECK(raised.payload.Bytes == expected.payload.Bytes);
    FUZZ_CHECK(raised.payload.Bytes.size() == (raised.payload.Text.size() % 2 == 0 ? raised.payload.Text.size() / 2 : 0));
  }
  if (subscribed) device.UnsubscribeAll();
  return 0;
}
