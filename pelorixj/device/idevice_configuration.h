// The configuration object of a reader of the newer platform. It is part of
// its device and never destroyed on its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pelorixj/device/iconfiguration_callback.h"

namespace pelorixj {

class IDeviceConfiguration {
 public:
  using Bytes = std::vector<uint8_t>;

  // selector 0..8
  virtual std::string GetDeviceInfo(int selector) = 0;
  virtual Bytes GetConfigInfo(uint8_t type, Bytes data) = 0;
  virtual Bytes GetKeyInfo(uint8_t keyType, Bytes data) = 0;
  virtual Bytes GetChallengeToken(Bytes data) = 0;
  virtual int SetConfigInfo(uint8_t type, Bytes data, IConfigurationCallback* callback) = 0;
  virtual int UpdateKeyInfo(uint8_t type, Bytes data, IConfigurationCallback* callback) = 0;
  virtual int UpdateFirmware(uint16_t firmwareType, Bytes image, IConfigurationCallback* callback) = 0;
  // callback may be null.
  virtual int GetFile(Bytes fileId, IConfigurationCallback* callback) = 0;
  virtual int SendFile(Bytes fileId, Bytes data, IConfigurationCallback* callback) = 0;
  virtual int SendSecureFile(Bytes fileName, Bytes data, IConfigurationCallback* callback) = 0;
  virtual int SendImage(uint8_t imageSlot, Bytes data, IConfigurationCallback* callback) = 0;
  virtual int SetDisplayImage(uint8_t imageId) = 0;

 protected:
  ~IDeviceConfiguration() = default;
};

}  // namespace pelorixj
