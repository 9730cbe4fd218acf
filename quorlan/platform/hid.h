// The HID seam: what the USB connection needs from the system's HID stack.
// One backend per OS (hidraw on Linux, the HID class driver on Windows);
// tests supply a virtual one. Nothing above this seam knows which it has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorlan {
namespace platform {

// A HID device present on the machine. Strings are UTF-8; a string the
// device does not provide is empty.
struct HidDeviceInfo {
  std::string path;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  std::string serialNumber;
  std::string product;
};

// Report lengths in bytes, each counting the leading report id byte (0 for a
// device without numbered reports); 0 when the device has no such report.
struct HidReportLengths {
  int input = 0;
  int output = 0;
  int feature = 0;
};

struct HidReadResult {
  enum class Status {
    kReport,            // `length` bytes of one input report, report id first
    kStopped,           // StopReads was called
    kCompletionFailed,  // a read in flight failed; a later read may be tried
    kStartFailed,       // no read could be started; further reads fail too
  };
  Status status = Status::kStopped;
  size_t length = 0;
  // The Win32 error code of a failed read, never 0.
  uint32_t error = 0;
};

// An open HID device. Reports are laid out as on Windows: byte 0 is the
// report id, also for devices whose reports are not numbered.
class HidDevice {
 public:
  virtual ~HidDevice() = default;

  // False when the device's report layout cannot be read.
  virtual bool GetReportLengths(HidReportLengths* lengths) = 0;
  // Each returns true when the device took (or gave) the whole report.
  virtual bool SetOutputReport(const uint8_t* report, size_t length) = 0;
  virtual bool SetFeatureReport(const uint8_t* report, size_t length) = 0;
  // report[0] names the feature report wanted.
  virtual bool GetFeatureReport(uint8_t* report, size_t length) = 0;

  // Waits for the next input report. Called from one thread at a time.
  virtual HidReadResult ReadInput(uint8_t* buffer, size_t capacity) = 0;
  // Ends a waiting ReadInput at once and makes every later one return
  // kStopped. A read that was in flight has completed (and no longer touches
  // its buffer) when ReadInput returns. May be called from any thread.
  virtual void StopReads() = 0;
};

class HidBackend {
 public:
  virtual ~HidBackend() = default;

  // The HID devices present, in a stable order. False when the system's
  // device list cannot be read.
  virtual bool Enumerate(std::vector<HidDeviceInfo>* devices) = 0;
  // Opens a device for reports; null when it cannot be opened. The system is
  // asked to queue bursts of input reports between reads.
  virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
};

// The HID stack of this machine.
std::shared_ptr<HidBackend> SystemHidBackend();

}  // namespace platform
}  // namespace quorlan
