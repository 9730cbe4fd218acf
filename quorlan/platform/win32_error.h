// Win32 error codes that a connection reports to its state callback. Callers
// on every platform see these codes, so the POSIX backends translate errno
// values into them here, in one place.
#pragma once

#include <cstdint>

namespace quorlan {
namespace platform {
namespace win32_error {

constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kInvalidHandle = 6;
constexpr uint32_t kNotEnoughMemory = 8;
constexpr uint32_t kGenFailure = 31;
constexpr uint32_t kNotSupported = 50;
constexpr uint32_t kInvalidParameter = 87;
constexpr uint32_t kSemTimeout = 121;
constexpr uint32_t kInsufficientBuffer = 122;
constexpr uint32_t kBusy = 170;
constexpr uint32_t kOperationAborted = 995;
constexpr uint32_t kIoDevice = 1117;
constexpr uint32_t kDeviceNotConnected = 1167;

}  // namespace win32_error

// The Win32 error code Windows reports for the same failure; never 0, so a
// failure is never mistaken for success.
uint32_t Win32ErrorFromErrno(int errnoValue);

}  // namespace platform
}  // namespace quorlan
