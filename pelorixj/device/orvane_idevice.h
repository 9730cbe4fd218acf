// A reader of the newer platform (device type 3), driven through Quorlan by
// its embedded control, with its configuration object. It is registered
// under the text it was made with (a device-list entry or an address) from
// its construction until it is destroyed.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "pelorixj/device/follow_up_reads.h"
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
  // Not on a thread inside a listener or callback (see DestroyDevice).
  ~OrvaneIDevice() override;
  OrvaneIDevice(const OrvaneIDevice&) = delete;
  OrvaneIDevice& operator=(const OrvaneIDevice&) = delete;

  // Ends the device's file read and joins its thread, then closes the
  // link (see OrvaneIDeviceControl::Close); a connected device then reports
  // "disconnected". Must not run on the file read's thread.
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
  // The requests open a closed device first, except RequestPIN and
  // RequestPAN, which need an open one. Each sends one command and waits
  // for its reply; none sends anything that Quorlan could not build.
  // True once sent, whatever the reply; false, before the device is
  // opened, when an amount is refused (see MinorUnits) or the text grows
  // too long.
  bool StartTransaction(const TransactionRequest& request) override;
  // True once sent, whatever the reply.
  bool CancelTransaction() override;
  // The rest: whether a reply came. Nothing is sent for an empty record.
  bool SendSelection(ByteDataRecord selection) override;
  bool SendAuthorization(ByteDataRecord authorization) override;
  bool RequestPIN(PinRequest request) override;
  // Without a PIN request the command asks for the PAN alone.
  bool RequestPAN(PanRequest request, const PinRequest* pinRequest) override;
  bool RequestSignature() override;

  // The handlers bound in the control. Every message raises its events on
  // the calling thread: a notification first as it is (event 3), then what
  // its id and code stand for; a file message as it is (event 12); any
  // other message the operation status of its reply (event 13) and then
  // itself (event 1). Two card notifications are acknowledged, and the
  // announcement of a file starts the device's read of it on a thread of
  // the device's. Failures of the notification and file handling pass
  // through; a response's are dropped.
  virtual void OnDataArrive(std::string message);
  // Each change of the link, in order, whichever object opened or closed it
  // and when Quorlan reports it gone (the control closes it then): raises
  // event 0.
  virtual void OnDeviceStatusChange(bool connected);

  // Raises event 13 with "name,commandId,label,statusCode". False when the
  // subscriber released this device during the event.
  bool ReportOperationStatus(uint32_t status, const std::string& commandId, const std::string& label,
                             const std::string& statusCode);

  const std::string& CreationText() const { return creationText_; }
  // The control, for the functions that list devices and for tests.
  OrvaneIDeviceControl& Control() { return control_; }
  // Replaces what the device does when the reader announces its file (read
  // file 01000000 through the configuration, ending the wait early when
  // the device closes). The library never calls it; tests observe the
  // read through it.
  void SetFollowUpRead(FollowUpReads::Read read) { followUps_.SetRead(std::move(read)); }

 private:
  // The branches of OnDataArrive.
  void OnNotification(const std::string& message);
  void OnBatchData(const std::string& batch);
  void OnDisplayNotification(uint32_t code, const std::string& message);
  void OnTransactionNotification(uint32_t code);
  void OnFileMessage(const std::string& message);
  void OnResponse(const std::string& message);
  // Fills name, model, serial and path from a device-list entry.
  void ReadEntry();
  // Sends the command and waits for its reply; nothing for an empty command.
  std::optional<DeviceResponse> Exchange(const std::string& commandHex);
  // Whether the command went out, whatever the reply.
  bool ExchangeSends(const std::string& commandHex);
  bool ExchangeSucceeds(const std::string& commandHex);

  OrvaneIDeviceControl control_;
  OrvaneDeviceConfiguration configuration_;
  std::string name_;
  std::string model_;
  std::string serial_;
  const std::string creationText_;
  std::string devicePath_;
  // Last: its thread uses the members above until it is joined.
  FollowUpReads followUps_;
};

}  // namespace pelorixj
