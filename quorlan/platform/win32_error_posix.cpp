#include "quorlan/platform/win32_error.h"

#include <cerrno>

namespace quorlan {
namespace platform {

uint32_t Win32ErrorFromErrno(int errnoValue) {
  switch (errnoValue) {
    case ENODEV:
    case ENXIO:
    case ESHUTDOWN:
      return win32_error::kDeviceNotConnected;
    case ENOENT:
      return win32_error::kFileNotFound;
    case EACCES:
    case EPERM:
      return win32_error::kAccessDenied;
    case EBADF:
      return win32_error::kInvalidHandle;
    case ENOMEM:
      return win32_error::kNotEnoughMemory;
    case ENOTTY:
    case EOPNOTSUPP:
      return win32_error::kNotSupported;
    case EINVAL:
      return win32_error::kInvalidParameter;
    case ETIMEDOUT:
      return win32_error::kSemTimeout;
    case EOVERFLOW:
    case EMSGSIZE:
      return win32_error::kInsufficientBuffer;
    case EBUSY:
      return win32_error::kBusy;
    case ECANCELED:
      return win32_error::kOperationAborted;
    case EIO:
      return win32_error::kIoDevice;
    default:
      return win32_error::kGenFailure;
  }
}

}  // namespace platform
}  // namespace quorlan
