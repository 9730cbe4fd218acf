#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "quorlan/platform/hid.h"
#include "quorlan/platform/hid_report_descriptor.h"
#include "quorlan/platform/hidraw_backend.h"
#include "quorlan/platform/hidraw_sysfs.h"
#include "quorlan/platform/win32_error.h"

namespace quorlan {
namespace platform {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_;
};

std::optional<HidReportLayout> ReadReportLayout(int fd) {
  int size = 0;
  if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size < 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
    return std::nullopt;
  }
  hidraw_report_descriptor descriptor{};
  descriptor.size = static_cast<uint32_t>(size);
  if (::ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) return std::nullopt;
  return ParseReportDescriptor(descriptor.value, descriptor.size);
}

class HidrawDevice final : public HidDevice {
 public:
  HidrawDevice(int fd, int stopFd)
      : device_(fd), stop_(stopFd), layout_(ReadReportLayout(fd)) {}

  bool GetReportLengths(HidReportLengths* lengths) override {
    if (!layout_) return false;
    *lengths = layout_->lengths;
    return true;
  }

  bool SetOutputReport(const uint8_t* report, size_t length) override {
    // hidraw takes the report id byte in front, as Windows does, and drops
    // it for devices without numbered reports.
    ssize_t written;
    do {
      written = ::write(device_.get(), report, length);
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(length);
  }

  bool SetFeatureReport(const uint8_t* report, size_t length) override {
    return ::ioctl(device_.get(), HIDIOCSFEATURE(length), report) >= 0;
  }

  bool GetFeatureReport(uint8_t* report, size_t length) override {
    return ::ioctl(device_.get(), HIDIOCGFEATURE(length), report) >= 0;
  }

  HidReadResult ReadInput(uint8_t* buffer, size_t capacity) override {
    if (failure_ != 0) return HidReadResult{HidReadResult::Status::kStartFailed, 0, failure_};
    // Unnumbered reports arrive without their report id: leave room for it.
    const bool restoreReportId = !(layout_ && layout_->numbered);
    const size_t offset = restoreReportId ? 1 : 0;
    if (capacity <= offset) return Fail(EINVAL);

    for (;;) {
      pollfd waits[2] = {{device_.get(), POLLIN, 0}, {stop_.get(), POLLIN, 0}};
      if (::poll(waits, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return Fail(errno);
      }
      if (waits[1].revents != 0) return HidReadResult{HidReadResult::Status::kStopped, 0, 0};
      const bool gone = (waits[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
      if ((waits[0].revents & POLLIN) != 0) {
        const ssize_t received = ::read(device_.get(), buffer + offset, capacity - offset);
        if (received >= 0) {
          if (restoreReportId) buffer[0] = 0;
          return HidReadResult{HidReadResult::Status::kReport, static_cast<size_t>(received) + offset, 0};
        }
        if (errno == EINTR || (errno == EAGAIN && !gone)) continue;
        // hidraw fails reads with EIO once its device is unplugged.
        return Fail(gone ? ENODEV : errno);
      }
      if (gone) return Fail((waits[0].revents & POLLNVAL) != 0 ? EBADF : ENODEV);
    }
  }

  void StopReads() override {
    const uint64_t one = 1;
    // The counter only grows; a full counter still wakes the reader.
    [[maybe_unused]] ssize_t ignored = ::write(stop_.get(), &one, sizeof one);
  }

 private:
  // Like a Windows handle whose read failed, the device takes no further
  // reads: the failure ends the one in flight and refuses the next.
  HidReadResult Fail(int errnoValue) {
    failure_ = Win32ErrorFromErrno(errnoValue);
    return HidReadResult{HidReadResult::Status::kCompletionFailed, 0, failure_};
  }

  FileDescriptor device_;
  FileDescriptor stop_;
  const std::optional<HidReportLayout> layout_;
  uint32_t failure_ = 0;
};

}  // namespace

HidrawBackend::HidrawBackend(std::string sysfsRoot, std::string devRoot)
    : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)) {}

bool HidrawBackend::Enumerate(std::vector<HidDeviceInfo>* devices) {
  return ListHidrawDevices(sysfsRoot_, devRoot_, devices);
}

std::unique_ptr<HidDevice> HidrawBackend::Open(const std::string& path) {
  // hidraw keeps its own queue of input reports per open file; there is
  // nothing to ask for.
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  const int stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (stopFd < 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<HidrawDevice>(fd, stopFd);
}

std::shared_ptr<HidBackend> SystemHidBackend() {
  return std::make_shared<HidrawBackend>("/sys", "/dev");
}

}  // namespace platform
}  // namespace quorlan
