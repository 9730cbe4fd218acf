// The Windows HID backend: the HID class driver, listed through SetupAPI.
#include <windows.h>

#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
}
#include <hidpi.h>

#include <atomic>
#include <vector>

#include "quorlan/platform/hid.h"

namespace quorlan {
namespace platform {
namespace {

// The driver queues this many input reports between two reads.
constexpr ULONG kQueuedInputReports = 512;
// HID string buffers hold at most 32 UTF-16 units.
constexpr size_t kStringBufferBytes = 64;

class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  HANDLE release() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }

 private:
  HANDLE handle_;
};

// GetLastError() of a failed call; never 0, so a failure never reads as success.
uint32_t LastError() {
  const DWORD error = GetLastError();
  return error != 0 ? error : ERROR_GEN_FAILURE;
}

HANDLE OpenForReports(const char* path) {
  return CreateFileA(path, MAXIMUM_ALLOWED, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OVERLAPPED, nullptr);
}

// A HID string: UTF-16 up to the first zero unit or the end of the buffer,
// as UTF-8; empty when the device gives none.
template <BOOLEAN(__stdcall* Get)(HANDLE, PVOID, ULONG)>
std::string ReadString(HANDLE device) {
  wchar_t units[kStringBufferBytes / sizeof(wchar_t)] = {};
  if (!Get(device, units, sizeof units)) return {};
  int count = 0;
  while (count < static_cast<int>(sizeof units / sizeof units[0]) && units[count] != 0) ++count;
  if (count == 0) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, units, count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, units, count, &text[0], size, nullptr, nullptr);
  return text;
}

bool ReadCapabilities(HANDLE device, HidReportLengths* lengths) {
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (!HidD_GetPreparsedData(device, &preparsed)) return false;
  HIDP_CAPS caps{};
  const bool read = HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS;
  HidD_FreePreparsedData(preparsed);
  if (!read) return false;
  lengths->input = caps.InputReportByteLength;
  lengths->output = caps.OutputReportByteLength;
  lengths->feature = caps.FeatureReportByteLength;
  return true;
}

class Win32HidDevice final : public HidDevice {
 public:
  Win32HidDevice(HANDLE device, HANDLE readDone, HANDLE stop)
      : device_(device), readDone_(readDone), stop_(stop) {
    layoutKnown_ = ReadCapabilities(device, &lengths_);
    HidD_SetNumInputBuffers(device, kQueuedInputReports);
  }

  bool GetReportLengths(HidReportLengths* lengths) override {
    if (!layoutKnown_) return false;
    *lengths = lengths_;
    return true;
  }

  bool SetOutputReport(const uint8_t* report, size_t length) override {
    std::vector<uint8_t> copy(report, report + length);
    return HidD_SetOutputReport(device_.get(), copy.data(), static_cast<ULONG>(copy.size())) != FALSE;
  }

  bool SetFeatureReport(const uint8_t* report, size_t length) override {
    std::vector<uint8_t> copy(report, report + length);
    return HidD_SetFeature(device_.get(), copy.data(), static_cast<ULONG>(copy.size())) != FALSE;
  }

  bool GetFeatureReport(uint8_t* report, size_t length) override {
    return HidD_GetFeature(device_.get(), report, static_cast<ULONG>(length)) != FALSE;
  }

  HidReadResult ReadInput(uint8_t* buffer, size_t capacity) override {
    for (;;) {
      if (stopped_) return HidReadResult{HidReadResult::Status::kStopped, 0, 0};
      if (failure_ != 0) return HidReadResult{HidReadResult::Status::kStartFailed, 0, failure_};
      OVERLAPPED overlapped{};
      overlapped.hEvent = readDone_.get();
      ResetEvent(readDone_.get());
      DWORD received = 0;
      const DWORD wanted = static_cast<DWORD>(capacity > MAXDWORD ? MAXDWORD : capacity);
      if (!ReadFile(device_.get(), buffer, wanted, &received, &overlapped)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
          // The handle takes no further reads, as after an unplug.
          failure_ = error != 0 ? error : ERROR_GEN_FAILURE;
          return HidReadResult{HidReadResult::Status::kStartFailed, 0, failure_};
        }
        HANDLE waits[2] = {stop_.get(), readDone_.get()};
        const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0 + 1) {
          const uint32_t waitError = woken == WAIT_OBJECT_0 ? 0 : LastError();
          // The read must have let go of the buffer before this returns.
          CancelIo(device_.get());
          GetOverlappedResult(device_.get(), &overlapped, &received, TRUE);
          if (waitError == 0) return HidReadResult{HidReadResult::Status::kStopped, 0, 0};
          failure_ = waitError;
          return HidReadResult{HidReadResult::Status::kStartFailed, 0, failure_};
        }
        if (!GetOverlappedResult(device_.get(), &overlapped, &received, FALSE)) {
          return HidReadResult{HidReadResult::Status::kCompletionFailed, 0, LastError()};
        }
      }
      if (received > 0) return HidReadResult{HidReadResult::Status::kReport, received, 0};
    }
  }

  void StopReads() override {
    stopped_ = true;
    SetEvent(stop_.get());
  }

 private:
  Handle device_;
  Handle readDone_;  // manual reset, for the read in flight
  Handle stop_;      // manual reset, stays set once stopped
  HidReportLengths lengths_;
  bool layoutKnown_ = false;
  std::atomic<bool> stopped_{false};
  uint32_t failure_ = 0;
};

class Win32HidBackend final : public HidBackend {
 public:
  bool Enumerate(std::vector<HidDeviceInfo>* devices) override {
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    HDEVINFO set = SetupDiGetClassDevsA(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return false;
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, index, &interfaceData); ++index) {
      const std::string path = InterfacePath(set, &interfaceData);
      if (path.empty()) continue;
      Handle device(OpenForReports(path.c_str()));
      if (!device.valid()) continue;
      HIDD_ATTRIBUTES attributes{};
      attributes.Size = sizeof attributes;
      if (!HidD_GetAttributes(device.get(), &attributes)) continue;
      HidDeviceInfo info;
      info.path = path;
      info.vendorId = attributes.VendorID;
      info.productId = attributes.ProductID;
      info.serialNumber = ReadString<HidD_GetSerialNumberString>(device.get());
      info.product = ReadString<HidD_GetProductString>(device.get());
      devices->push_back(std::move(info));
    }
    SetupDiDestroyDeviceInfoList(set);
    return true;
  }

  std::unique_ptr<HidDevice> Open(const std::string& path) override {
    Handle device(OpenForReports(path.c_str()));
    if (!device.valid()) return nullptr;
    Handle readDone(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    Handle stop(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!readDone.valid() || !stop.valid()) return nullptr;
    return std::make_unique<Win32HidDevice>(device.release(), readDone.release(), stop.release());
  }

 private:
  static std::string InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* interfaceData) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailA(set, interfaceData, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return {};
    std::vector<uint8_t> storage(size);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(set, interfaceData, detail, size, nullptr, nullptr)) return {};
    return detail->DevicePath;
  }
};

}  // namespace

std::shared_ptr<HidBackend> SystemHidBackend() { return std::make_shared<Win32HidBackend>(); }

}  // namespace platform
}  // namespace quorlan
