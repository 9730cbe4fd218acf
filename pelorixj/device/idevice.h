// A reader of either family. The operations keep this order: the Java
// binding and both families rely on it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "pelorixj/device/byte_data_record.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/device_records.h"
#include "pelorixj/device/idevice_configuration.h"
#include "pelorixj/device/idevice_control.h"
#include "pelorixj/device/ievent_subscriber.h"
#include "pelorixj/device/request_records.h"

namespace pelorixj {

class IDevice {
 public:
  // Closes the device's control and passes on its result.
  virtual bool Close() = 0;
  // A word of the caller's; the device never reads it.
  virtual uint64_t GetUserData() const = 0;
  virtual void SetUserData(uint64_t word) = 0;
  virtual std::string GetName() = 0;
  virtual ConnectionInfo GetConnectionInfo() = 0;
  virtual ConnectionState GetConnectionState() = 0;
  virtual DeviceInfo GetDeviceInfo() = 0;
  virtual DeviceCapabilities GetDeviceCapabilities() = 0;
  // Part of the device; never null.
  virtual IDeviceControl* GetDeviceControl() = 0;
  // Part of the device; null when the device has none.
  virtual IDeviceConfiguration* GetDeviceConfiguration() = 0;
  // One subscriber per device; a new one replaces the old. The device
  // shares the subscriber with the deliveries under way.
  virtual bool SubscribeAll(std::shared_ptr<IEventSubscriber> subscriber) = 0;
  virtual bool UnsubscribeAll() = 0;
  virtual bool StartTransaction(const TransactionRequest& request) = 0;
  virtual bool CancelTransaction() = 0;
  virtual bool SendSelection(ByteDataRecord selection) = 0;
  virtual bool SendAuthorization(ByteDataRecord authorization) = 0;
  virtual bool RequestPIN(PinRequest request) = 0;
  // pinRequest may be null.
  virtual bool RequestPAN(PanRequest request, const PinRequest* pinRequest) = 0;
  virtual bool RequestSignature() = 0;
  virtual ~IDevice() = default;
};

}  // namespace pelorixj
