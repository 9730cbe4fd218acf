// A reader of the newer platform (device type 3), driven through Quorlan by
// its embedded control, with its configuration object. It is registered
// under the text it was made with (a device-list entry or an address) from
// its construction until it is destroyed.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "pelorixj/device/ibase_device.h"
#include "pelorixj/device/orvane_device_configuration.h"
#include "pelorixj/device/orvane_device_control.h"

namespace pelorixj {

class OrvaneIDevice : public IBaseDevice {
 public:
  // creationText is one entry of Quorlan's device list (its "Name", "DSN",
  // "Product" and "Path" fill the device's information) or an address.
  // Throws std::runtime_error(creationText + " already exist") when a
  // device is registered under the text, and then registers nothing.
  OrvaneIDevice(uint32_t connectionType, std::string creationText);
  // Removes its registry entry, closes a link still open and waits for
  // Quorlan's callbacks running with it on other threads. Raises no event.
  ~OrvaneIDevice() override;
  OrvaneIDevice(const OrvaneIDevice&) = delete;
  OrvaneIDevice& operator=(const OrvaneIDevice&) = delete;

  // Closes the link; a connected device then reports "disconnected".
  bool Close() override;
  // The name, else the serial number, else the device path.
  std::string GetName() override;
  ConnectionInfo GetConnectionInfo() override { return control_.GetConnectionInfo(); }
  // Connected exactly while the control is open.
  ConnectionState GetConnectionState() override;
  DeviceInfo GetDeviceInfo() override { return DeviceInfo{name_, model_, serial_}; }
  DeviceCapabilities GetDeviceCapabilities() override;
  IDeviceControl* GetDeviceControl() override { return &control_; }
  // Opens the device first when it is closed; null when it cannot be opened.
  IDeviceConfiguration* GetDeviceConfiguration() override;
  bool StartTransaction(const TransactionRequest& request) override;
  bool CancelTransaction() override;
  bool SendSelection(ByteDataRecord selection) override;
  bool SendAuthorization(ByteDataRecord authorization) override;
  bool RequestPIN(PinRequest request) override;
  bool RequestPAN(PanRequest request, const PinRequest* pinRequest) override;
  bool RequestSignature() override;

  // The handlers bound in the control.
  virtual void OnDataArrive(std::string message);
  virtual void OnDeviceStatusChange(bool connected);

  const std::string& CreationText() const { return creationText_; }
  // The control, for the functions that list devices and for tests.
  OrvaneIDeviceControl& Control() { return control_; }

 private:
  // Each change raises event 0 with the state's text; entering
  // disconnected closes the link first. False when the subscriber released
  // this device during the event.
  bool SetConnectionState(uint32_t state);
  // Fills name, model, serial and path from a device-list entry.
  void ReadEntry();

  OrvaneIDeviceControl control_;
  OrvaneDeviceConfiguration configuration_;
  std::string name_;
  std::string model_;
  std::string serial_;
  const std::string creationText_;
  std::string devicePath_;
  std::atomic<uint32_t> connectionState_{kStateDisconnected};
};

}  // namespace pelorixj
