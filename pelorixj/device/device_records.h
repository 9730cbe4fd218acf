// Records that devices give out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pelorixj/device/byte_data_record.h"

namespace pelorixj {

// Status of a DeviceResponse.
enum ResponseStatus : uint32_t {
  kResponseReceived = 0,
  // No reply within the wait.
  kResponseNoReply = 1,
  // The exchange failed, or the reader refused the command.
  kResponseFailed = 2,
  // Nothing was sent: the device is not open.
  kResponseNotOpen = 3,
};

// Result of IDeviceControl::SendSync; Status 0 is success.
struct DeviceResponse {
  uint32_t Status = 0;
  ByteDataRecord Data;
};

struct ConnectionInfo {
  uint32_t DeviceType = 0;      // a DeviceType
  uint32_t ConnectionType = 0;  // a ConnectionType
  std::string Address;          // as the device was created with
};

struct DeviceInfo {
  std::string Name;
  std::string Model;
  std::string Serial;
};

struct DeviceCapabilities {
  // Bit 0 magnetic stripe, bit 1 contact chip, bit 2 contactless.
  uint32_t PaymentMethods = 0;
  bool Display = false;
  bool PINPad = false;
  bool Signature = false;
  bool SRED = false;
  bool MSRPowerSaver = false;
  bool BatteryBackedClock = false;
};

// Result of IConfigurationCallback::OnCalculateMAC; Status 0 means the MAC is valid.
struct MacResult {
  uint32_t Status = 0;
  std::string Text;
  std::vector<uint8_t> Mac;
};

}  // namespace pelorixj
