// Part of a test build of Quorlan whose USB HID readers are the ones a test
// lists, in place of the machine's: the library is otherwise Quorlan
// itself, built from the same objects. Tests reach the list through the two
// exports below.
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "quorlan/platform/hid.h"
#include "virtual_hid.h"

#define LISTED_HID_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The reader ids that Quorlan accepts.
constexpr uint16_t kVendorId = 0x7A3B;
constexpr uint16_t kProductId = 0x3A11;

class ListedHidBackend final : public quorlan::platform::HidBackend {
 public:
  void Add(const std::string& path, const std::string& serial, const std::string& product) {
    devices_.AddDevice(path, kVendorId, kProductId, serial, product);
  }

  void Unlist(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    unlisted_.insert(path);
  }

  bool Enumerate(std::vector<quorlan::platform::HidDeviceInfo>* devices) override {
    std::vector<quorlan::platform::HidDeviceInfo> all;
    if (!devices_.Enumerate(&all)) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    devices->clear();
    for (auto& device : all) {
      if (unlisted_.count(device.path) == 0) devices->push_back(std::move(device));
    }
    return true;
  }

  // An unlisted reader still opens: it has only left the list.
  std::unique_ptr<quorlan::platform::HidDevice> Open(const std::string& path) override { return devices_.Open(path); }

 private:
  quorlan::VirtualHidBackend devices_;
  std::mutex mutex_;
  std::set<std::string> unlisted_;
};

const std::shared_ptr<ListedHidBackend>& Backend() {
  static const auto backend = std::make_shared<ListedHidBackend>();
  return backend;
}

}  // namespace

namespace quorlan {
namespace platform {

std::shared_ptr<HidBackend> SystemHidBackend() { return Backend(); }

}  // namespace platform
}  // namespace quorlan

// Lists a reader after those added before it.
LISTED_HID_EXPORT void ListedHid_Add(const char* path, const char* serial, const char* product) {
  Backend()->Add(path, serial, product);
}

// Leaves a reader out of the list from now on.
LISTED_HID_EXPORT void ListedHid_Unlist(const char* path) { Backend()->Unlist(path); }
