// The diagnostic lines that both digest backends print, narrow, to
// standard output. A failed stage is reported with an NTSTATUS value under
// the name of the CNG function that does it, as the lines have always read
// on every platform.
#pragma once

#include <cstdint>

namespace pelorixj {

enum class DigestStage {
  kOpenAlgorithm,
  kReadProperty,
  kCreateHash,
  kHashData,
  kFinishHash,
};

// "**** Error 0x<status> returned by <CNG function of the stage>\n"
void PrintDigestStageFailed(DigestStage stage, uint32_t status);
void PrintDigestAllocationFailed();
// Without a line end, as the line has always been printed.
void PrintDigestOutputTooSmall(uint32_t digestLength);
void PrintDigestSuccess();

}  // namespace pelorixj
