// What a device says about itself: uevent texts, and the strings that go into
// the device list.
#include <cstddef>
#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "quorlan/message/hex_text.h"
#include "quorlan/message/json_escape.h"
#include "quorlan/platform/hidraw_sysfs.h"
#include "quorlan/transport/device_list_entry.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const size_t units = input.ConsumeIntegralInRange<size_t>(0, 300);
  const std::string serial = input.ConsumeRandomLengthString(300);
  const std::string product = input.ConsumeRandomLengthString(300);
  const std::string uevent = input.ConsumeRemainingBytesAsString();

  platform::ParseHidUevent(uevent);
  const std::string clipped = ClipToUtf16Units(serial, units);
  FUZZ_CHECK(clipped.size() <= serial.size());
  FUZZ_CHECK(serial.compare(0, clipped.size(), clipped) == 0);
  EscapeJsonString(product);
  BuildDeviceListEntry(serial, product, 0x7A3B, 0x3A11, uevent);
  return 0;
}
