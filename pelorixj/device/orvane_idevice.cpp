#include "pelorixj/device/orvane_idevice.h"

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <utility>

#include "pelorixj/device/device_handle_map.h"
#include "pelorixj/device/event_names.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/orvane_device_registry.h"

namespace pelorixj {
namespace {

// The file that the reader announces (notification 0x1805, code 0x01010101).
const char kAnnouncedFileId[] = "01000000";

}  // namespace

OrvaneIDevice::OrvaneIDevice(uint32_t connectionType, std::string creationText)
    : control_(connectionType, creationText),
      configuration_(&control_),
      creationText_(std::move(creationText)),
      followUps_([this](const StopSignal& stop) {
        configuration_.GetFile(HexPairsToBytes(kAnnouncedFileId), nullptr, stop);
      }) {
  auto& registry = OrvaneDeviceRegistry();
  // Held until the device is registered: no other thread registers the text meanwhile.
  const auto hold = registry.Hold();
  if (registry.Find(creationText_) != nullptr) throw std::runtime_error(creationText_ + " already exist");
  ReadEntry();
  if (devicePath_.empty()) devicePath_ = creationText_;
  control_.SetDataArriveHandler([this](std::string message) { OnDataArrive(std::move(message)); });
  control_.SetStatusChangeHandler([this](bool connected) { OnDeviceStatusChange(connected); });
  // Last: nothing may fail once the registry holds this device.
  registry.Insert(creationText_, this);
}

OrvaneIDevice::~OrvaneIDevice() {
  OrvaneDeviceRegistry().EraseIfPointsTo(creationText_, this);
  control_.SetStatusChangeHandler(nullptr);
  try {
    control_.Close();
  } catch (...) {
    // Quorlan lacks closeDevice: nothing more can be done.
  }
  // A message or status report still being handled on another thread uses
  // this device (and may ask for a file read); none starts after the close.
  OrvaneDeviceHandles().Forget(&control_);
  followUps_.StopAll();
}

void OrvaneIDevice::ReadEntry() {
  try {
    const auto entry = nlohmann::json::parse(creationText_);
    for (const auto& member : entry.items()) {
      const std::string& key = member.key();
      if (key == "Name") {
        name_ = member.value().get<std::string>();
      } else if (key == "DSN") {
        serial_ = member.value().get<std::string>();
      } else if (key == "Product") {
        model_ = member.value().get<std::string>();
      } else if (key == "Path") {
        devicePath_ = member.value().get<std::string>();
      }
    }
  } catch (...) {
    // An address, or an entry with a field that is no string; fields read before stay.
    name_ = creationText_;
  }
}

bool OrvaneIDevice::Close() {
  followUps_.StopAll();
  // Last: the control reports its close, and the listener may release this
  // device from inside that event.
  return control_.Close();
}

std::string OrvaneIDevice::GetName() {
  if (!name_.empty()) return name_;
  if (!serial_.empty()) return serial_;
  return devicePath_;
}

ConnectionState OrvaneIDevice::GetConnectionState() {
  return control_.IsOpened() ? kStateConnected : kStateDisconnected;
}

DeviceCapabilities OrvaneIDevice::GetDeviceCapabilities() {
  DeviceCapabilities capabilities;
  capabilities.PaymentMethods = 7;
  capabilities.Display = true;
  capabilities.PINPad = true;
  capabilities.Signature = true;
  capabilities.SRED = true;
  capabilities.MSRPowerSaver = false;
  capabilities.BatteryBackedClock = true;
  return capabilities;
}

IDeviceConfiguration* OrvaneIDevice::GetDeviceConfiguration() {
  return control_.OpenIfClosed() ? &configuration_ : nullptr;
}

void OrvaneIDevice::OnDeviceStatusChange(bool connected) {
  RaiseEvent(kEventConnectionStateChanged,
             ByteDataRecord(ConnectionStateText(connected ? kStateConnected : kStateDisconnected)));
}

}  // namespace pelorixj
