// A control and a configuration whose every operation throws (the
// configuration's long operations report progress 1 to their callback
// first): the parts of the fake devices.
#pragma once

#include <stdexcept>
#include <string>

#include "pelorixj/device/idevice_configuration.h"
#include "pelorixj/device/idevice_control.h"

namespace pelorixj {

class ThrowingControl final : public IDeviceControl {
 public:
  bool Open() override { return Fail(); }
  bool Close() override { return Fail(); }
  bool Send(ByteDataRecord) override { return Fail(); }
  DeviceResponse SendSync(ByteDataRecord) override { throw std::runtime_error("SendSync"); }
  bool SendExtendedCommand(ByteDataRecord) override { return Fail(); }
  bool EndSession() override { return Fail(); }
  bool SetDateTime(ByteDataRecord) override { return Fail(); }
  bool PlaySound(ByteDataRecord) override { return Fail(); }
  bool GetInput(ByteDataRecord) override { return Fail(); }
  bool DisplayMessage(uint8_t, uint8_t) override { return Fail(); }
  bool ShowImageObject(ImageObject, uint8_t) override { return Fail(); }
  bool ShowImage(uint8_t) override { return Fail(); }
  bool ShowBarCode(BarCodeRequest, uint8_t, const std::string*) override { return Fail(); }
  bool SetLatch(bool) override { return Fail(); }
  bool DeviceReset() override { return Fail(); }
  void SendFormattedCommand(std::string) override { Fail(); }

 private:
  static bool Fail() { throw std::runtime_error("control fails"); }
};

class ThrowingConfiguration final : public IDeviceConfiguration {
 public:
  std::string GetDeviceInfo(int) override { throw std::runtime_error("GetDeviceInfo"); }
  Bytes GetConfigInfo(uint8_t, Bytes) override { throw std::runtime_error("GetConfigInfo"); }
  Bytes GetKeyInfo(uint8_t, Bytes) override { throw std::runtime_error("GetKeyInfo"); }
  Bytes GetChallengeToken(Bytes) override { throw std::runtime_error("GetChallengeToken"); }
  int SetConfigInfo(uint8_t, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int UpdateKeyInfo(uint8_t, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int UpdateFirmware(uint16_t, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int GetFile(Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int SendFile(Bytes, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int SendSecureFile(Bytes, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int SendImage(uint8_t, Bytes, IConfigurationCallback* callback) override { return Fail(callback); }
  int SetDisplayImage(uint8_t) override { throw std::runtime_error("SetDisplayImage"); }

 private:
  static int Fail(IConfigurationCallback* callback) {
    callback->OnProgress(1);
    throw std::runtime_error("operation failed");
  }
};

}  // namespace pelorixj
