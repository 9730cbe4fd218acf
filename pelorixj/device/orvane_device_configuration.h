// The configuration object of a reader of the newer platform: turns
// configuration requests into commands sent through the device's control and
// the replies into texts, bytes and statuses. It holds no state of its own
// and does not open the device. No operation throws: each ends a failure in
// its failure result.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "pelorixj/device/idevice_configuration.h"
#include "pelorixj/device/orvane_device_control.h"
#include "pelorixj/device/stop_signal.h"

namespace pelorixj {

// The reply to a challenge request, as hexadecimal text.
struct ChallengeReply {
  std::string Token;        // parameter 83
  std::string Parameter82;  // parameter 82
};

// Gives the MAC of data for a MAC type; empty when there is none.
using MacCalculator = std::function<IDeviceConfiguration::Bytes(uint8_t type, IDeviceConfiguration::Bytes data)>;

class OrvaneDeviceConfiguration : public IDeviceConfiguration {
 public:
  // control belongs to the same device and outlives this object.
  explicit OrvaneDeviceConfiguration(OrvaneIDeviceControl* control) : control_(control) {}
  OrvaneDeviceConfiguration(const OrvaneDeviceConfiguration&) = delete;
  OrvaneDeviceConfiguration& operator=(const OrvaneDeviceConfiguration&) = delete;

  // Selectors 0..8; "" for others (nothing sent) and on failure.
  std::string GetDeviceInfo(int selector) override;
  // The reply's parameter 89 whatever the status; empty on failure.
  Bytes GetConfigInfo(uint8_t type, Bytes data) override;
  // The reply's parameter 84 whatever the status; keyType is not sent.
  Bytes GetKeyInfo(uint8_t keyType, Bytes data) override;
  // data must be the 2-byte challenge id, or nothing is sent.
  Bytes GetChallengeToken(Bytes data) override;
  // The reader's status code, 2 on failure; the callback gets 0 or 2 and
  // the whole reply (nothing on failure).
  int SetConfigInfo(uint8_t type, Bytes data, IConfigurationCallback* callback) override;
  // The reader's status code, 2 on failure; type and callback are not used.
  int UpdateKeyInfo(uint8_t type, Bytes data, IConfigurationCallback* callback) override;
  // 0 when the reader reported the image installed, 2 on any failure; the
  // callback is told 1, 10, 11..60 while the image goes out, 66, 68, 99,
  // 100, then the result. Events pause meanwhile.
  int UpdateFirmware(uint16_t firmwareType, Bytes image, IConfigurationCallback* callback) override;
  // fileId must be 4 bytes (else 3, nothing sent). 0 and the file's content
  // when it came; 2 otherwise, the callback told 1 when the reader accepted
  // the request but sent no file. Events go on meanwhile.
  int GetFile(Bytes fileId, IConfigurationCallback* callback) override;
  // GetFile whose wait for the file ends early once stop is raised: the
  // device's own read of a file that the reader announces, which the
  // device ends when it closes.
  int GetFile(Bytes fileId, IConfigurationCallback* callback, const StopSignal& stop);
  // 0 when the reader accepted the announcement and the content, else 2;
  // the callback is told the percentage sent, then the result. SendFile
  // sends nothing for empty content (2, no callback); neither sends anything
  // for content whose file message is longer than QRX_MAX_MESSAGE_LENGTH
  // (2, the callback told).
  int SendFile(Bytes fileId, Bytes data, IConfigurationCallback* callback) override;
  int SendSecureFile(Bytes fileName, Bytes data, IConfigurationCallback* callback) override;
  // Slots 1 to 4 (else 3): SendFile under the slot's file id.
  int SendImage(uint8_t imageSlot, Bytes data, IConfigurationCallback* callback) override;
  // The reader's status code; 2 on failure.
  int SetDisplayImage(uint8_t imageId) override;

  // Builders of the class's own requests; they send nothing.
  // Five TLV items in a row: 81 hexValue, 84, 85, A8 value (2 bytes), A9.
  virtual std::string BuildNestedTlvRequest(uint16_t value, std::string hexValue);
  // The message's parameter 4 signed with mac, in an envelope that names
  // the message's frame type. Throws "invalid data" for a message that
  // does not parse.
  virtual std::string BuildSignedBlock(std::string messageHex, std::string a1Hex, std::string p82Hex,
                                       std::string p83Hex, MacCalculator mac);
  // Throws what the exchange throws.
  virtual ChallengeReply RequestChallenge(uint16_t id);

  // The value at a dotted tag path such as "E2.E1.E1.E1.C1"; empty when the
  // reader refuses or on failure.
  Bytes ReadByTlvPath(const std::string& path);
  // The reader's status code; 2 on failure.
  int WriteByTlvPath(const std::string& path, const Bytes& value);
  // valueHex wrapped in one TLV item per tag of the path, the last tag
  // innermost; "" on failure.
  static std::string NestTlvPath(const std::string& path, const std::string& valueHex);

 private:
  // The reply as hexadecimal text; throws as the control does.
  std::string Exchange(const std::string& hexCommand);
  // Sends content as the file message of an accepted announcement; the
  // reply as Exchange gives it.
  std::string SendContent(const std::string& idText, const Bytes& content, uint16_t code,
                          IConfigurationCallback* callback);

  OrvaneIDeviceControl* const control_;
};

}  // namespace pelorixj
