// A device with nothing but the base's subscriber and user data: its
// operations answer with empty values, and tests raise its events.
#pragma once

#include <string>

#include "pelorixj/device/ibase_device.h"

namespace pelorixj {

class BareDevice : public IBaseDevice {
 public:
  bool Raise(int eventType, const std::string& text) { return RaiseEvent(eventType, ByteDataRecord(text)); }

  bool Close() override { return true; }
  std::string GetName() override { return ""; }
  ConnectionInfo GetConnectionInfo() override { return {}; }
  ConnectionState GetConnectionState() override { return kStateDisconnected; }
  DeviceInfo GetDeviceInfo() override { return {}; }
  DeviceCapabilities GetDeviceCapabilities() override { return {}; }
  IDeviceControl* GetDeviceControl() override { return nullptr; }
  IDeviceConfiguration* GetDeviceConfiguration() override { return nullptr; }
  bool StartTransaction(const TransactionRequest&) override { return false; }
  bool CancelTransaction() override { return false; }
  bool SendSelection(ByteDataRecord) override { return false; }
  bool SendAuthorization(ByteDataRecord) override { return false; }
  bool RequestPIN(PinRequest) override { return false; }
  bool RequestPAN(PanRequest, const PinRequest*) override { return false; }
  bool RequestSignature() override { return false; }
};

}  // namespace pelorixj
