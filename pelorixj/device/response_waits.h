// How long a device's requests wait for the reader. The shipped library
// always uses the defaults; only tests, which link the library's internals,
// change them: longer for a busy machine, shorter to reach a time-out quickly.
#pragma once

#include <cstdint>

namespace pelorixj {

struct ResponseWaits {
  // Configuration requests, the fixed display and reset commands, SendSync.
  int32_t replyMs = 1000;
  // Sending a file message, and waiting for the file that GetFile asked for.
  int32_t fileMs = 5000;
  // Sending a firmware image, and waiting for the reader to find it good.
  int32_t firmwareMs = 10000;
  // Waiting for the reader to finish installing a firmware image.
  int32_t installationMs = 900000;
};

}  // namespace pelorixj
