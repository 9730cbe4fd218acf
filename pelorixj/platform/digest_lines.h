// The diagnostic lines that both digest backends print, narrow, to
// standard output. A failed step is named by its CNG function and reported
// with an NTSTATUS value.
#pragma once

#include <cstdint>

namespace pelorixj {

// "**** Error 0x<status> returned by <step>\n"
void PrintDigestStepFailed(const char* step, uint32_t status);
void PrintDigestAllocationFailed();
// Without a line end, as the line has always been printed.
void PrintDigestOutputTooSmall(uint32_t digestLength);
void PrintDigestSuccess();

}  // namespace pelorixj
