// A reader of the older family (device type 0), driven through the outside
// library by its embedded control. It has no configuration object, runs
// the few requests that the family supports, and turns the library's
// callbacks into events for its subscriber.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "pelorixj/brannet/brannet_idevice_control.h"
#include "pelorixj/device/ibase_device.h"

namespace pelorixj {

class BrannetIDevice : public IBaseDevice {
 public:
  // The address is kept exactly as given.
  BrannetIDevice(uint32_t connectionType, std::string address);
  // Closes a link still open, so that no callback reaches a freed device,
  // and removes the registry entry of its address only when it is its own.
  // Not on a thread inside a listener or callback (see DestroyDevice).
  ~BrannetIDevice() override;
  BrannetIDevice(const BrannetIDevice&) = delete;
  BrannetIDevice& operator=(const BrannetIDevice&) = delete;

  bool Close() override;
  // The address after its last "/", once connected.
  std::string GetName() override;
  ConnectionInfo GetConnectionInfo() override;
  ConnectionState GetConnectionState() override;
  // Open the device first when it is not connected; without a connection,
  // a fixed placeholder and no capabilities.
  DeviceInfo GetDeviceInfo() override;
  DeviceCapabilities GetDeviceCapabilities() override;
  IDeviceControl* GetDeviceControl() override { return &control_; }
  IDeviceConfiguration* GetDeviceConfiguration() override { return nullptr; }
  // False, and nothing is sent, when an amount is refused (see
  // transaction_command.h).
  bool StartTransaction(const TransactionRequest& request) override;
  bool CancelTransaction() override;
  bool SendSelection(ByteDataRecord) override { return false; }
  bool SendAuthorization(ByteDataRecord) override { return false; }
  bool RequestPIN(PinRequest) override { return false; }
  bool RequestPAN(PanRequest, const PinRequest*) override { return false; }
  bool RequestSignature() override { return false; }

  // The handlers bound in the control; each raises its event.
  void OnDataReceived(std::string text);
  void OnDeviceConnectionStateChanged(bool connected);
  void OnDeviceResponse(std::string text);
  void OnNotificationData(uint32_t code, std::string text);

 private:
  // Opens the control when it is not connected; then the reader's product
  // id, or nothing when it is still not connected.
  std::optional<int> ConnectedProductId();

  BrannetIDeviceControl control_;
};

}  // namespace pelorixj
