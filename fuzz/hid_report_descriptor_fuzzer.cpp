// HID report descriptors as a device hands them over.
#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "quorlan/platform/hid_report_descriptor.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::ParseReportDescriptor(size == 0 ? nullptr : data, size);
  return 0;
}
