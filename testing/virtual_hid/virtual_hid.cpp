#include "virtual_hid.h"

#include <algorithm>
#include <thread>

namespace quorlan {

// The open device as the connection sees it.
class VirtualHidHandle final : public platform::HidDevice {
 public:
  explicit VirtualHidHandle(std::shared_ptr<VirtualHidDevice> device) : device_(std::move(device)) {}

  ~VirtualHidHandle() override {
    std::lock_guard<std::mutex> lock(device_->mutex_);
    device_->open_ = false;
    device_->log_.push_back("close");
  }

  bool GetReportLengths(platform::HidReportLengths* lengths) override {
    std::lock_guard<std::mutex> lock(device_->mutex_);
    if (!device_->lengths_) return false;
    *lengths = *device_->lengths_;
    return true;
  }

  bool SetOutputReport(const uint8_t* report, size_t length) override {
    return Transfer("output", [&](VirtualHidDevice& device) {
      if (device.outputFails_) return false;
      device.outputReports_.emplace_back(report, report + length);
      return true;
    });
  }

  bool SetFeatureReport(const uint8_t* report, size_t length) override {
    return Transfer("set feature", [&](VirtualHidDevice& device) {
      if (device.featureFails_) return false;
      device.featureReports_.emplace_back(report, report + length);
      return true;
    });
  }

  bool GetFeatureReport(uint8_t* report, size_t length) override {
    return Transfer("get feature", [&](VirtualHidDevice& device) {
      if (device.featureFails_) return false;
      std::fill_n(report, length, 0);
      std::copy_n(device.featureReply_.begin(), std::min(length, device.featureReply_.size()), report);
      return true;
    });
  }

  platform::HidReadResult ReadInput(uint8_t* buffer, size_t capacity) override {
    std::unique_lock<std::mutex> lock(device_->mutex_);
    ++device_->readsInFlight_;
    if (!stopped_ && device_->input_.empty()) {
      ++device_->readsWaiting_;
      device_->changed_.notify_all();
      device_->changed_.wait(lock, [this] { return stopped_ || !device_->input_.empty(); });
      --device_->readsWaiting_;
    }
    platform::HidReadResult result;
    if (stopped_) {
      const auto delay = device_->cancelDelay_;
      if (delay.count() > 0) {
        lock.unlock();
        std::this_thread::sleep_for(delay);
        std::fill_n(buffer, capacity, 0xCD);
        lock.lock();
      }
      result.status = platform::HidReadResult::Status::kStopped;
    } else {
      VirtualHidDevice::InputEvent event = std::move(device_->input_.front());
      device_->input_.pop_front();
      result.status = event.status;
      result.error = event.error;
      result.length = std::min(capacity, event.report.size());
      std::copy_n(event.report.begin(), result.length, buffer);
    }
    --device_->readsInFlight_;
    device_->changed_.notify_all();
    return result;
  }

  void StopReads() override {
    std::lock_guard<std::mutex> lock(device_->mutex_);
    stopped_ = true;
    device_->changed_.notify_all();
  }

 private:
  template <typename Action>
  bool Transfer(const char* name, Action action) {
    std::chrono::milliseconds delay;
    {
      std::lock_guard<std::mutex> lock(device_->mutex_);
      ++device_->transfersStarted_;
      delay = device_->transferDelay_;
      device_->changed_.notify_all();
    }
    std::this_thread::sleep_for(delay);
    std::lock_guard<std::mutex> lock(device_->mutex_);
    device_->log_.push_back(name);
    return action(*device_);
  }

  const std::shared_ptr<VirtualHidDevice> device_;
  bool stopped_ = false;  // guarded by the device's mutex
};

VirtualHidDevice::VirtualHidDevice(platform::HidDeviceInfo info) : info_(std::move(info)) {}

void VirtualHidDevice::SetReportLengths(std::optional<platform::HidReportLengths> lengths) {
  std::lock_guard<std::mutex> lock(mutex_);
  lengths_ = lengths;
}

void VirtualHidDevice::SetOpenFails(bool fails) {
  std::lock_guard<std::mutex> lock(mutex_);
  openFails_ = fails;
}

void VirtualHidDevice::DeliverInputReport(std::vector<uint8_t> report) {
  std::lock_guard<std::mutex> lock(mutex_);
  input_.push_back({platform::HidReadResult::Status::kReport, std::move(report), 0});
  changed_.notify_all();
}

void VirtualHidDevice::FailReadInFlight(uint32_t win32Error) {
  std::lock_guard<std::mutex> lock(mutex_);
  input_.push_back({platform::HidReadResult::Status::kCompletionFailed, {}, win32Error});
  changed_.notify_all();
}

void VirtualHidDevice::FailReadStart(uint32_t win32Error) {
  std::lock_guard<std::mutex> lock(mutex_);
  input_.push_back({platform::HidReadResult::Status::kStartFailed, {}, win32Error});
  changed_.notify_all();
}

void VirtualHidDevice::SetCancelDelay(std::chrono::milliseconds delay) {
  std::lock_guard<std::mutex> lock(mutex_);
  cancelDelay_ = delay;
}

bool VirtualHidDevice::WaitForPendingRead(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return readsWaiting_ > 0 && input_.empty(); });
}

int VirtualHidDevice::ReadsInFlight() {
  std::lock_guard<std::mutex> lock(mutex_);
  return readsInFlight_;
}

void VirtualHidDevice::SetOutputReportsFail(bool fail) {
  std::lock_guard<std::mutex> lock(mutex_);
  outputFails_ = fail;
}

void VirtualHidDevice::SetFeatureReportsFail(bool fail) {
  std::lock_guard<std::mutex> lock(mutex_);
  featureFails_ = fail;
}

void VirtualHidDevice::SetFeatureReportReply(std::vector<uint8_t> report) {
  std::lock_guard<std::mutex> lock(mutex_);
  featureReply_ = std::move(report);
}

void VirtualHidDevice::SetTransferDelay(std::chrono::milliseconds delay) {
  std::lock_guard<std::mutex> lock(mutex_);
  transferDelay_ = delay;
}

bool VirtualHidDevice::WaitForTransferStarted(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return transfersStarted_ > 0; });
}

std::vector<std::vector<uint8_t>> VirtualHidDevice::OutputReports() {
  std::lock_guard<std::mutex> lock(mutex_);
  return outputReports_;
}

std::vector<std::vector<uint8_t>> VirtualHidDevice::FeatureReports() {
  std::lock_guard<std::mutex> lock(mutex_);
  return featureReports_;
}

std::vector<std::string> VirtualHidDevice::Log() {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

bool VirtualHidDevice::IsOpen() {
  std::lock_guard<std::mutex> lock(mutex_);
  return open_;
}

std::shared_ptr<VirtualHidDevice> VirtualHidBackend::AddDevice(std::string path, uint16_t vendorId,
                                                               uint16_t productId, std::string serialNumber,
                                                               std::string product) {
  platform::HidDeviceInfo info;
  info.path = std::move(path);
  info.vendorId = vendorId;
  info.productId = productId;
  info.serialNumber = std::move(serialNumber);
  info.product = std::move(product);
  auto device = std::make_shared<VirtualHidDevice>(std::move(info));
  std::lock_guard<std::mutex> lock(mutex_);
  devices_.push_back(device);
  return device;
}

void VirtualHidBackend::SetEnumerationFails(bool fails) {
  std::lock_guard<std::mutex> lock(mutex_);
  enumerationFails_ = fails;
}

int VirtualHidBackend::OpenCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return openCount_;
}

bool VirtualHidBackend::Enumerate(std::vector<platform::HidDeviceInfo>* devices) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (enumerationFails_) return false;
  devices->clear();
  for (const auto& device : devices_) devices->push_back(device->Info());
  return true;
}

std::unique_ptr<platform::HidDevice> VirtualHidBackend::Open(const std::string& path) {
  std::shared_ptr<VirtualHidDevice> device;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = std::find_if(devices_.begin(), devices_.end(),
                              [&path](const auto& candidate) { return candidate->Info().path == path; });
    if (found == devices_.end()) return nullptr;
    device = *found;
    ++openCount_;
  }
  std::lock_guard<std::mutex> lock(device->mutex_);
  if (device->openFails_) return nullptr;
  device->open_ = true;
  device->log_.push_back("open");
  return std::make_unique<VirtualHidHandle>(device);
}

}  // namespace quorlan
