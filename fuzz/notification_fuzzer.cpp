// Notifications from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "fuzz_check.h"
#include "quorlan/message/notification.h"

using namespace quorlan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OrvaneNotification notification;
  try {
    notification = OrvaneNotification::Parse(Bytes(data, data + size));
  } catch (const std::logic_error&) {
    return 0;
  } catch (const std::runtime_error&) {
    return 0;
  }
  FUZZ_CHECK(HexStringToBytes(notification.messageText) == Bytes(data, data + size));
  notification.GetParameterByPath("E2.E1.E1.E1.C1");
  return 0;
}
