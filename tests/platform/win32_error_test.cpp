#include "quorlan/platform/win32_error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace quorlan {
namespace platform {
namespace {

struct ErrnoCase {
  int errnoValue;
  uint32_t win32;
};

TEST(Win32ErrorFromErrno, GivesTheCodeWindowsReportsForTheSameFailure) {
  const ErrnoCase cases[] = {
      {ENODEV, win32_error::kDeviceNotConnected},  {ENXIO, win32_error::kDeviceNotConnected},
      {ESHUTDOWN, win32_error::kDeviceNotConnected}, {ENOENT, win32_error::kFileNotFound},
      {EACCES, win32_error::kAccessDenied},         {EPERM, win32_error::kAccessDenied},
      {EBADF, win32_error::kInvalidHandle},         {ENOMEM, win32_error::kNotEnoughMemory},
      {ENOTTY, win32_error::kNotSupported},         {EINVAL, win32_error::kInvalidParameter},
      {ETIMEDOUT, win32_error::kSemTimeout},        {EOVERFLOW, win32_error::kInsufficientBuffer},
      {EBUSY, win32_error::kBusy},                  {ECANCELED, win32_error::kOperationAborted},
      {EIO, win32_error::kIoDevice},                {EPROTO, win32_error::kGenFailure},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Win32ErrorFromErrno(c.errnoValue), c.win32) << "errno " << c.errnoValue;
  }
}

TEST(Win32ErrorFromErrno, NeverGivesSuccess) {
  for (int value = 0; value < 200; ++value) {
    EXPECT_NE(Win32ErrorFromErrno(value), 0u) << "errno " << value;
  }
}

}  // namespace
}  // namespace platform
}  // namespace quorlan
