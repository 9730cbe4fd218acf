#include "quorlan/platform/hidraw_sysfs.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace quorlan {
namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr uint16_t kBusUsb = 0x0003;
// A USB HID interface sits two levels below its USB device; a few more
// allow for hubs' intermediate folders without walking up unbounded.
constexpr int kMaxLevelsToUsbDevice = 4;

bool ParseHex(const std::string& text, uint32_t max, uint32_t* value) {
  if (text.empty() || text.size() > 8) return false;
  char* end = nullptr;
  const unsigned long parsed = std::strtoul(text.c_str(), &end, 16);
  if (*end != '\0' || text[0] == '-' || text[0] == '+' || parsed > max) return false;
  *value = static_cast<uint32_t>(parsed);
  return true;
}

// HID_ID is "bus:vendor:product" in hexadecimal, e.g. 0003:00007A3B:00003A11.
bool ParseHidId(const std::string& value, HidUevent* uevent) {
  const size_t first = value.find(':');
  if (first == std::string::npos) return false;
  const size_t second = value.find(':', first + 1);
  if (second == std::string::npos) return false;
  uint32_t bus, vendor, product;
  if (!ParseHex(value.substr(0, first), 0xFFFF, &bus) ||
      !ParseHex(value.substr(first + 1, second - first - 1), 0xFFFF, &vendor) ||
      !ParseHex(value.substr(second + 1), 0xFFFF, &product)) {
    return false;
  }
  uevent->bus = static_cast<uint16_t>(bus);
  uevent->vendorId = static_cast<uint16_t>(vendor);
  uevent->productId = static_cast<uint16_t>(product);
  return true;
}

std::optional<std::string> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A sysfs attribute: its first line.
std::string ReadAttribute(const fs::path& path) {
  std::string text = ReadFile(path).value_or("");
  const size_t end = text.find_first_of(std::string("\n\0", 2));
  if (end != std::string::npos) text.erase(end);
  return text;
}

// The product string of the USB device above a HID device, which is what
// Windows reports; HID_NAME joins manufacturer and product.
std::optional<std::string> UsbProductString(const fs::path& hidDevice) {
  std::error_code error;
  fs::path folder = fs::canonical(hidDevice, error);
  if (error) return std::nullopt;
  for (int level = 0; level < kMaxLevelsToUsbDevice && folder.has_parent_path(); ++level) {
    folder = folder.parent_path();
    if (fs::exists(folder / "idVendor", error)) return ReadAttribute(folder / "product");
  }
  return std::nullopt;
}

// hidraw12 -> 12; names of another shape are not hidraw nodes.
std::optional<unsigned long> HidrawNumber(const std::string& name) {
  static const std::string kPrefix = "hidraw";
  if (name.size() <= kPrefix.size() || name.compare(0, kPrefix.size(), kPrefix) != 0) return std::nullopt;
  const std::string digits = name.substr(kPrefix.size());
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return std::strtoul(digits.c_str(), nullptr, 10);
}

}  // namespace

std::optional<HidUevent> ParseHidUevent(const std::string& text) {
  HidUevent uevent;
  bool haveId = false;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "HID_ID") {
      haveId = ParseHidId(value, &uevent);
    } else if (key == "HID_NAME") {
      uevent.name = value;
    } else if (key == "HID_UNIQ") {
      uevent.unique = value;
    }
  }
  if (!haveId) return std::nullopt;
  return uevent;
}

bool ListHidrawDevices(const std::string& sysfsRoot, const std::string& devRoot,
                       std::vector<HidDeviceInfo>* devices) {
  const fs::path classFolder = fs::path(sysfsRoot) / "class" / "hidraw";
  std::error_code error;
  fs::directory_iterator entries(classFolder, error);
  if (error) return false;

  std::vector<std::pair<unsigned long, std::string>> nodes;
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (auto number = HidrawNumber(name)) nodes.emplace_back(*number, name);
  }
  std::sort(nodes.begin(), nodes.end());

  devices->clear();
  for (const auto& node : nodes) {
    const fs::path hidDevice = classFolder / node.second / "device";
    const auto text = ReadFile(hidDevice / "uevent");
    if (!text) continue;
    const auto uevent = ParseHidUevent(*text);
    if (!uevent) continue;
    HidDeviceInfo info;
    info.path = (fs::path(devRoot) / node.second).string();
    info.vendorId = uevent->vendorId;
    info.productId = uevent->productId;
    info.serialNumber = uevent->unique;
    std::optional<std::string> product;
    if (uevent->bus == kBusUsb) product = UsbProductString(hidDevice);
    info.product = product.value_or(uevent->name);
    devices->push_back(std::move(info));
  }
  return true;
}

}  // namespace platform
}  // namespace quorlan
