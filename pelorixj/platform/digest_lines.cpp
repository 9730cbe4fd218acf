#include "pelorixj/platform/digest_lines.h"

#include <cstdio>

namespace pelorixj {

namespace {

const char* CngFunctionOf(DigestStage stage) {
  switch (stage) {
    case DigestStage::kOpenAlgorithm:
      return "BCryptOpenAlgorithmProvider";
    case DigestStage::kReadProperty:
      return "BCryptGetProperty";
    case DigestStage::kCreateHash:
      return "BCryptCreateHash";
    case DigestStage::kHashData:
      return "BCryptHashData";
    case DigestStage::kFinishHash:
      return "BCryptFinishHash";
  }
  return "";
}

}  // namespace

void PrintDigestStageFailed(DigestStage stage, uint32_t status) {
  std::printf("**** Error 0x%x returned by %s\n", static_cast<unsigned>(status), CngFunctionOf(stage));
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
