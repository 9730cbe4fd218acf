// How long a device's requests wait for the reader. The shipped library
// always uses the defaults; only tests, which link the library's internals,
// change them, to reach a time-out quickly.
#pragma once

#include <cstdint>

namespace pelorixj {

struct ResponseWaits {
  // Configuration requests, the fixed display and reset commands, SendSync.
  int32_t replyMs = 1000;
};

}  // namespace pelorixj
