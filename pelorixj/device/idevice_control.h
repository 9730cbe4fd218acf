// A device's control object: opening, closing and sending. It is part of its
// device and never destroyed on its own.
#pragma once

#include <cstdint>
#include <string>

#include "pelorixj/device/byte_data_record.h"
#include "pelorixj/device/device_records.h"
#include "pelorixj/device/request_records.h"

namespace pelorixj {

class IDeviceControl {
 public:
  virtual bool Open() = 0;
  virtual bool Close() = 0;
  // Sent without waiting for a reply.
  virtual bool Send(ByteDataRecord command) = 0;
  virtual DeviceResponse SendSync(ByteDataRecord command) = 0;
  virtual bool SendExtendedCommand(ByteDataRecord command) = 0;
  virtual bool EndSession() = 0;
  virtual bool SetDateTime(ByteDataRecord dateTime) = 0;
  virtual bool PlaySound(ByteDataRecord sound) = 0;
  virtual bool GetInput(ByteDataRecord request) = 0;
  virtual bool DisplayMessage(uint8_t messageId, uint8_t timeout) = 0;
  virtual bool ShowImageObject(ImageObject image, uint8_t option) = 0;
  virtual bool ShowImage(uint8_t imageId) = 0;
  virtual bool ShowBarCode(BarCodeRequest request, uint8_t option, const std::string* text) = 0;
  virtual bool SetLatch(bool enable) = 0;
  virtual bool DeviceReset() = 0;
  virtual void SendFormattedCommand(std::string formattedCommand) = 0;

 protected:
  ~IDeviceControl() = default;
};

}  // namespace pelorixj
