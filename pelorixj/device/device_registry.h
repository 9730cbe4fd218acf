// A process-wide map from a key text to the device registered under it, for
// one family. It never owns its devices: it only finds them again.
//
// Every operation takes the registry's lock, which is recursive: a listing
// holds it (Hold) across looking up and constructing, and constructing a
// device registers it.
#pragma once

#include <map>
#include <mutex>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace pelorixj {

template <class Device>
class DeviceRegistry {
 public:
  using Entry = std::pair<std::string, Device*>;

  // Keeps other threads out until the lock is dropped.
  std::unique_lock<std::recursive_mutex> Hold() const { return std::unique_lock<std::recursive_mutex>(mutex_); }

  // Null when nothing is registered under the key.
  Device* Find(const std::string& key) const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto found = entries_.find(key);
    return found == entries_.end() ? nullptr : found->second;
  }

  // False, and nothing changes, when the key is registered already.
  bool Insert(const std::string& key, Device* device) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return entries_.emplace(key, device).second;
  }

  // Removes the entry only while it still belongs to this device.
  void EraseIfPointsTo(const std::string& key, const Device* device) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    auto found = entries_.find(key);
    if (found != entries_.end() && found->second == device) entries_.erase(found);
  }

  // Removes every entry of the device, as the base class names it.
  template <class Base>
  void EraseDevice(const Base* device) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end();) {
      it = static_cast<const Base*>(it->second) == device ? entries_.erase(it) : std::next(it);
    }
  }

  // A copy of the entries in byte-wise key order.
  std::vector<Entry> Entries() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return std::vector<Entry>(entries_.begin(), entries_.end());
  }

 private:
  mutable std::recursive_mutex mutex_;
  std::map<std::string, Device*> entries_;
};

}  // namespace pelorixj
