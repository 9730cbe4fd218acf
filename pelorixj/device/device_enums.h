// The enumerations and event numbers of the device interfaces. Each is a
// plain 32-bit integer on every interface: values without a name pass too.
#pragma once

#include <cstdint>

namespace pelorixj {

enum DeviceType : uint32_t {
  kOlderFamilyDevice = 0,
  kNewerPlatformDevice = 3,
};

enum ConnectionType : uint32_t {
  kConnectionUsb = 0,
  kConnectionBle = 1,
  kConnectionBleEmv = 2,
  kConnectionBleEmvt = 3,
  kConnectionTcp = 4,
  kConnectionTls12 = 5,
  kConnectionTls12Trust = 6,
  kConnectionSerial = 7,
  kConnectionWebSocket = 8,
};

// A device starts disconnected.
enum ConnectionState : uint32_t {
  kStateDisconnected = 1,
  kStateConnecting = 2,
  kStateError = 3,
  kStateConnected = 4,
  kStateDisconnecting = 5,
};

// First argument of IEventSubscriber::OnEvent; 2 is not used.
enum EventType : int {
  kEventConnectionStateChanged = 0,
  kEventDeviceData = 1,
  kEventDeviceNotification = 3,
  kEventDeviceResponse = 4,
  kEventTransaction = 5,
  kEventDisplayNotification = 6,
  kEventDisplayNotificationRaw = 7,
  kEventArqcData = 8,
  kEventBatchData = 9,
  kEventNotificationData = 10,
  kEventExtractedData = 11,
  kEventFileMessage = 12,
  kEventOperationStatus = 13,
  kEventDeviceReset = 14,
  kEventUser = 15,
};

// Status argument of IConfigurationCallback::OnResult.
enum ConfigurationResultStatus : int {
  kConfigurationSuccess = 0,
  // The device accepted a file request, but no file came within the wait.
  kConfigurationNoFile = 1,
  kConfigurationFailed = 2,
};

}  // namespace pelorixj
