// A HID backend whose devices live in the test: they list what the test
// says, deliver the input reports and read failures it queues, record every
// report written to them and fail transfers on request.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "quorlan/platform/hid.h"

namespace quorlan {

class VirtualHidDevice {
 public:
  explicit VirtualHidDevice(platform::HidDeviceInfo info);

  const platform::HidDeviceInfo& Info() const { return info_; }

  // Set before the device is opened. Nullopt: the layout cannot be read.
  void SetReportLengths(std::optional<platform::HidReportLengths> lengths);
  void SetOpenFails(bool fails);

  // Input side, in the order queued.
  void DeliverInputReport(std::vector<uint8_t> report);
  // A read in flight completes with this Win32 error.
  void FailReadInFlight(uint32_t win32Error);
  // The next read cannot be started.
  void FailReadStart(uint32_t win32Error);
  // How long a stopped read takes to complete; it writes into its buffer
  // until then, as a cancelled overlapped read may.
  void SetCancelDelay(std::chrono::milliseconds delay);
  // True once a read waits with nothing queued: everything queued before
  // has been handed over.
  bool WaitForPendingRead(std::chrono::milliseconds timeout);
  int ReadsInFlight();

  // Output side.
  void SetOutputReportsFail(bool fail);
  void SetFeatureReportsFail(bool fail);
  void SetFeatureReportReply(std::vector<uint8_t> report);
  // Every transfer takes this long before it completes.
  void SetTransferDelay(std::chrono::milliseconds delay);
  // True once a transfer has begun.
  bool WaitForTransferStarted(std::chrono::milliseconds timeout);
  std::vector<std::vector<uint8_t>> OutputReports();
  std::vector<std::vector<uint8_t>> FeatureReports();

  // What happened to the device, in order: "open", "output", "set feature",
  // "get feature", "close".
  std::vector<std::string> Log();
  bool IsOpen();

 private:
  friend class VirtualHidHandle;
  friend class VirtualHidBackend;

  struct InputEvent {
    platform::HidReadResult::Status status;
    std::vector<uint8_t> report;
    uint32_t error;
  };

  const platform::HidDeviceInfo info_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<platform::HidReportLengths> lengths_;
  bool openFails_ = false;
  bool open_ = false;
  std::deque<InputEvent> input_;
  std::chrono::milliseconds cancelDelay_{0};
  int readsInFlight_ = 0;
  int readsWaiting_ = 0;
  bool outputFails_ = false;
  bool featureFails_ = false;
  std::vector<uint8_t> featureReply_;
  std::chrono::milliseconds transferDelay_{0};
  int transfersStarted_ = 0;
  std::vector<std::vector<uint8_t>> outputReports_;
  std::vector<std::vector<uint8_t>> featureReports_;
  std::vector<std::string> log_;
};

class VirtualHidBackend final : public platform::HidBackend {
 public:
  // Listed in the order added.
  std::shared_ptr<VirtualHidDevice> AddDevice(std::string path, uint16_t vendorId, uint16_t productId,
                                              std::string serialNumber = "", std::string product = "");
  void SetEnumerationFails(bool fails);
  int OpenCount();

  bool Enumerate(std::vector<platform::HidDeviceInfo>* devices) override;
  std::unique_ptr<platform::HidDevice> Open(const std::string& path) override;

 private:
  std::mutex mutex_;
  std::vector<std::shared_ptr<VirtualHidDevice>> devices_;
  bool enumerationFails_ = false;
  int openCount_ = 0;
};

}  // namespace quorlan
