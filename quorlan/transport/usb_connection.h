// The link to a reader attached as a USB HID device: finds the readers among
// the machine's HID devices, opens one by path, receives input reports on a
// reader thread and writes one report per call.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "quorlan/platform/hid.h"
#include "quorlan/transport/serial_comm.h"

namespace quorlan {

class USBConnection final : public SerialComm {
 public:
  struct ReaderId {
    uint16_t vendorId;
    uint16_t productId;
  };
  // The readers this library drives, in the order they are matched.
  static const std::vector<ReaderId>& AcceptedReaders();

  enum TransferMode : int { kWriteReport = 0, kReadFeatureReport = 1 };

  static constexpr int kDefaultReportLength = 65;

  // For enumeration.
  explicit USBConnection(std::shared_ptr<platform::HidBackend> backend = platform::SystemHidBackend());
  // For opening; an empty path opens the first accepted reader found.
  explicit USBConnection(std::string path,
                         std::shared_ptr<platform::HidBackend> backend = platform::SystemHidBackend());
  ~USBConnection() override;

  // Calls onEntry(path, entry text) for each accepted reader in enumeration
  // order until it returns true. True when at least one reader was found.
  // The filter is not used.
  bool GetDeviceList(DeviceListEntry onEntry, std::string filter) override;
  // 0 (also when already open), or 5 when no reader is found or the device
  // cannot be opened.
  int Open() override;
  // Ends the reader thread, then releases the device. May be called from the
  // state callback, not from the data callback. State reports still running
  // are waited for by the destructor. Returns 0.
  int Close() override;
  bool IsConnected() override;
  // One output report (a feature report for devices without output reports),
  // zero-padded to the report length: 0, 4 when not open, 129 when the device
  // refuses it or it does not fit.
  int Write(const uint8_t* data, unsigned length) override;

  // Write (kWriteReport), or fetch the feature report and hand it to
  // OnDataReceived (kReadFeatureReport; data is not used). 0, 4 when not
  // open, 6 for another mode, 129 when the transfer fails.
  int TransferReport(const void* data, unsigned length, int mode);

  // The path given, or the one Open found.
  const std::string& DevicePath() const { return path_; }

 private:
  void ReadLoop();
  void CloseHandles();
  // Calls the state callback on a thread of its own, owned by this object.
  void PostConnectionState(int state);
  void JoinStateThreads();
  int WriteReport(const uint8_t* data, unsigned length);

  const std::shared_ptr<platform::HidBackend> backend_;
  std::string path_;

  // Serialises closing, which the state callback may do on its own thread.
  std::mutex closeMutex_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> connected_{false};
  std::thread reader_;

  // Held for one report transfer, and while the device and buffers are
  // released, so that no transfer uses them afterwards.
  std::mutex writeMutex_;
  std::unique_ptr<platform::HidDevice> device_;
  platform::HidReportLengths lengths_{kDefaultReportLength, kDefaultReportLength, kDefaultReportLength};
  std::vector<uint8_t> featureReport_;
  std::vector<uint8_t> outputReport_;
  // Owned by the reader thread while it runs.
  std::vector<uint8_t> inputReport_;

  std::mutex stateThreadsMutex_;
  std::vector<std::thread> stateThreads_;
};

}  // namespace quorlan
