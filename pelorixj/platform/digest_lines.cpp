#include "pelorixj/platform/digest_lines.h"

#include <cstdio>

namespace pelorixj {

void PrintDigestStepFailed(const char* step, uint32_t status) {
  std::printf("**** Error 0x%x returned by %s\n", static_cast<unsigned>(status), step);
  std::fflush(stdout);
}

void PrintDigestAllocationFailed() {
  std::fputs("**** memory allocation failed\n", stdout);
  std::fflush(stdout);
}

void PrintDigestOutputTooSmall(uint32_t digestLength) {
  std::printf("**** Error - output size should be large than or equal to %u", static_cast<unsigned>(digestLength));
  std::fflush(stdout);
}

void PrintDigestSuccess() {
  std::fputs("Success!\n", stdout);
  std::fflush(stdout);
}

}  // namespace pelorixj
