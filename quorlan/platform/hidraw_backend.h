// The Linux HID backend: hidraw device nodes, listed through sysfs.
#pragma once

#include <string>

#include "quorlan/platform/hid.h"

namespace quorlan {
namespace platform {

class HidrawBackend final : public HidBackend {
 public:
  // Normally "/sys" and "/dev".
  HidrawBackend(std::string sysfsRoot, std::string devRoot);

  bool Enumerate(std::vector<HidDeviceInfo>* devices) override;
  std::unique_ptr<HidDevice> Open(const std::string& path) override;

 private:
  std::string sysfsRoot_;
  std::string devRoot_;
};

}  // namespace platform
}  // namespace quorlan
