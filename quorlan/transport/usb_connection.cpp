#include "quorlan/transport/usb_connection.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <utility>

#include "quorlan/transport/device_list_entry.h"

namespace quorlan {
namespace {

// Windows reads the serial and product strings into 64-byte buffers.
constexpr size_t kMaxStringUnits = 32;

const USBConnection::ReaderId* FindAcceptedReader(uint16_t vendorId, uint16_t productId) {
  for (const auto& reader : USBConnection::AcceptedReaders()) {
    if (reader.vendorId == vendorId && reader.productId == productId) return &reader;
  }
  return nullptr;
}

}  // namespace

const std::vector<USBConnection::ReaderId>& USBConnection::AcceptedReaders() {
  static const std::vector<ReaderId> readers = {{0x7A3B, 0x3A11}};
  return readers;
}

USBConnection::USBConnection(std::shared_ptr<platform::HidBackend> backend) : backend_(std::move(backend)) {}

USBConnection::USBConnection(std::string path, std::shared_ptr<platform::HidBackend> backend)
    : backend_(std::move(backend)), path_(std::move(path)) {}

USBConnection::~USBConnection() {
  CloseHandles();
  JoinStateThreads();
}

bool USBConnection::GetDeviceList(DeviceListEntry onEntry, std::string) {
  std::vector<platform::HidDeviceInfo> devices;
  if (!backend_->Enumerate(&devices)) return false;
  bool found = false;
  for (const auto& device : devices) {
    const ReaderId* reader = FindAcceptedReader(device.vendorId, device.productId);
    if (reader == nullptr) continue;
    found = true;
    std::string entry = BuildDeviceListEntry(ClipToUtf16Units(device.serialNumber, kMaxStringUnits),
                                             ClipToUtf16Units(device.product, kMaxStringUnits),
                                             reader->productId, reader->vendorId, device.path);
    if (onEntry(device.path, std::move(entry))) break;
  }
  return found;
}

int USBConnection::Open() {
  std::lock_guard<std::mutex> closing(closeMutex_);
  if (connected_) return kConnectionOk;
  if (path_.empty()) {
    std::string first;
    const bool found = GetDeviceList(
        [&first](std::string path, std::string) {
          first = std::move(path);
          return true;
        },
        std::string());
    if (!found) return kConnectionOpenFailed;
    path_ = std::move(first);
  }

  std::unique_ptr<platform::HidDevice> device = backend_->Open(path_);
  if (!device) return kConnectionOpenFailed;
  platform::HidReportLengths lengths;
  if (!device->GetReportLengths(&lengths)) {
    lengths = {kDefaultReportLength, kDefaultReportLength, kDefaultReportLength};
  }
  {
    std::lock_guard<std::mutex> lock(writeMutex_);
    lengths_ = lengths;
    featureReport_.assign(std::max(lengths.feature, 0), 0);
    outputReport_.assign(std::max(lengths.output, 0), 0);
    device_ = std::move(device);
  }
  // A device without input reports still gets a reader, as on Windows.
  inputReport_.assign(lengths.input > 0 ? lengths.input : kDefaultReportLength, 0);

  stop_ = false;
  try {
    reader_ = std::thread(&USBConnection::ReadLoop, this);
  } catch (const std::system_error&) {
    std::lock_guard<std::mutex> lock(writeMutex_);
    device_.reset();
    return kConnectionOpenFailed;
  }
  connected_ = true;
  return kConnectionOk;
}

int USBConnection::Close() {
  CloseHandles();
  return kConnectionOk;
}

bool USBConnection::IsConnected() { return connected_; }

int USBConnection::Write(const uint8_t* data, unsigned length) {
  return TransferReport(data, length, kWriteReport);
}

int USBConnection::TransferReport(const void* data, unsigned length, int mode) {
  std::vector<uint8_t> feature;
  {
    std::lock_guard<std::mutex> lock(writeMutex_);
    if (!device_) return kConnectionNotOpen;
    if (mode == kWriteReport) return WriteReport(static_cast<const uint8_t*>(data), length);
    if (mode != kReadFeatureReport) return kConnectionUnknownTransferMode;
    if (featureReport_.empty()) return kConnectionReportFailed;
    // Byte 0 names the report wanted: the readers' only one, 0.
    std::fill(featureReport_.begin(), featureReport_.end(), 0);
    if (!device_->GetFeatureReport(featureReport_.data(), featureReport_.size())) {
      return kConnectionReportFailed;
    }
    feature = featureReport_;
  }
  // Outside the lock: the data callback may write.
  OnDataReceived(feature.data(), static_cast<unsigned>(feature.size()));
  return kConnectionOk;
}

int USBConnection::WriteReport(const uint8_t* data, unsigned length) {
  // Devices without output reports take their data as feature reports.
  const bool asOutput = !outputReport_.empty();
  std::vector<uint8_t>& report = asOutput ? outputReport_ : featureReport_;
  if (report.empty() || length > report.size()) return kConnectionReportFailed;
  std::fill(report.begin(), report.end(), 0);
  if (length > 0) std::memcpy(report.data(), data, length);
  const bool sent = asOutput ? device_->SetOutputReport(report.data(), report.size())
                             : device_->SetFeatureReport(report.data(), report.size());
  return sent ? kConnectionOk : kConnectionReportFailed;
}

void USBConnection::ReadLoop() {
  platform::HidDevice& device = *device_;
  while (!stop_) {
    const platform::HidReadResult result = device.ReadInput(inputReport_.data(), inputReport_.size());
    switch (result.status) {
      case platform::HidReadResult::Status::kReport:
        if (!stop_ && result.length > 0) {
          OnDataReceived(inputReport_.data(), static_cast<unsigned>(result.length));
        }
        break;
      case platform::HidReadResult::Status::kCompletionFailed:
        if (!stop_) PostConnectionState(static_cast<int>(result.error));
        break;
      case platform::HidReadResult::Status::kStartFailed:
        if (!stop_) PostConnectionState(static_cast<int>(result.error));
        return;
      case platform::HidReadResult::Status::kStopped:
        return;
    }
  }
}

void USBConnection::CloseHandles() {
  std::lock_guard<std::mutex> closing(closeMutex_);
  if (reader_.joinable()) {
    stop_ = true;
    device_->StopReads();
    reader_.join();
  }
  // After the reader has ended, and under the write lock so that no
  // transfer still uses the device or a report buffer.
  std::lock_guard<std::mutex> lock(writeMutex_);
  connected_ = false;
  device_.reset();
  featureReport_ = {};
  outputReport_ = {};
  inputReport_ = {};
  lengths_ = {0, 0, 0};
}

void USBConnection::PostConnectionState(int state) {
  StateCallback callback = CurrentStateCallback();
  if (!callback) return;
  std::lock_guard<std::mutex> lock(stateThreadsMutex_);
  stateThreads_.emplace_back([callback = std::move(callback), state] {
    // Nobody is left to hear of a failing state callback.
    try {
      callback(state);
    } catch (...) {
    }
  });
}

void USBConnection::JoinStateThreads() {
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> lock(stateThreadsMutex_);
    threads.swap(stateThreads_);
  }
  for (auto& thread : threads) {
    // Destroyed from within its own state report: that thread only returns
    // from the callback copy it holds.
    if (thread.get_id() == std::this_thread::get_id()) {
      thread.detach();
    } else {
      thread.join();
    }
  }
}

}  // namespace quorlan
