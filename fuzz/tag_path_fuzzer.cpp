// Tag paths of arbitrary text over frames of arbitrary parameters.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "quorlan/message/tag_path.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string path = input.ConsumeRandomLengthString(64);
  OrvaneAPIFrameWork frame;
  while (input.remaining_bytes() > 0) {
    const int key = input.ConsumeIntegralInRange(0, 61);
    frame.SetParameter(key, input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 512)));
  }
  try {
    SelectByTagPath(frame, path);
  } catch (const std::invalid_argument&) {
  } catch (const std::out_of_range&) {
  }
  return 0;
}
