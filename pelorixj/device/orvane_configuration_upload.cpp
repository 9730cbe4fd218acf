// File upload: an announcing request names the file and gives its size and
// SHA-256 digest; once the reader accepts it, the content follows as one
// file message. The secure form signs the announcement over the reader's
// challenge with a MAC from the caller's callback.
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "pelorixj/device/configuration_support.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/orvane_device_configuration.h"
#include "pelorixj/device/progress_adapters.h"
#include "pelorixj/device/qrx_command.h"
#include "pelorixj/device/tlv_hex.h"
#include "pelorixj/platform/digest.h"
#include "quorlan/message/file_message.h"
#include "quorlan/message/hex_text.h"

namespace pelorixj {
namespace {

constexpr uint16_t kAnnounceFile = 0xD812;
constexpr uint16_t kAnnounceSecureFile = 0xD811;
// Inputs of the signing steps of the secure form.
constexpr uint16_t kSecureRequestValue = 0x1111;
const char kSecureRequestHex[] = "0303060208";
const char kSha256Code[] = "04";

std::string Item(const char* tag, std::string valueHex) { return TlvNodeToHex(quorlan::TlvNode(tag, std::move(valueHex))); }

// Parameters 0x81, 0xA2, 0xA3 and 0x87 of an announcing request, in that order.
void Announce(QrxCommand& command, const std::string& idText, const IDeviceConfiguration::Bytes& content) {
  const std::string size = quorlan::IntToHexBytes(static_cast<int>(content.size()));
  const std::string digest = BytesToHexString(ComputeDigest(content, "SHA256"));
  command.Set(0x81, idText)
      .Set(0xA2, Item("81", size) + Item("82", kSha256Code) + Item("83", digest))
      .Set(0xA3, Item("81", TextToHex(idText)))
      .Set(0x87, "01");
}

// The id text read in base 16 as a signed 32-bit number; throws for an
// empty text and for values above 0x7FFFFFFF.
uint32_t FileNumber(const std::string& idText) { return static_cast<uint32_t>(std::stoi(idText, nullptr, 16)); }

// Whether Quorlan can carry the content's file message, which is checked
// before the announcement: the reader would wait for a file that never comes.
bool FitsOneMessage(const IDeviceConfiguration::Bytes& content) {
  const size_t headerSize = quorlan::FileMessageBytesBeforePayload(0, content.size(), 0).size();
  return headerSize + content.size() <= QRX_MAX_MESSAGE_LENGTH;
}

}  // namespace

std::string OrvaneDeviceConfiguration::SendContent(const std::string& idText, const Bytes& content, uint16_t code,
                                                   IConfigurationCallback* callback) {
  const std::string message = Qrx().createFileMessage(FileNumber(idText), BytesToHexString(content), code);
  FileProgressAdapter progress(callback);
  return control_->SendCommandStringWithProgress(message, std::ref(progress), control_->Waits().fileMs);
}

int OrvaneDeviceConfiguration::SendFile(Bytes fileId, Bytes data, IConfigurationCallback* callback) {
  int result = kConfigurationFailed;
  try {
    std::string request;
    {
      QrxCommand command(kAnnounceFile);
      if (data.empty()) return kConfigurationFailed;
      if (!FitsOneMessage(data)) throw std::length_error("file too long");
      Announce(command, BytesToHexString(fileId), data);
      request = command.BytesInHex();
    }
    if (Qrx().getStatusCode(Exchange(request)) == 0 &&
        Qrx().getStatusCode(SendContent(BytesToHexString(fileId), data, kAnnounceFile, callback)) == 0) {
      result = kConfigurationSuccess;
    }
  } catch (...) {
    result = kConfigurationFailed;
  }
  ReportResult(callback, result);
  return result;
}

int OrvaneDeviceConfiguration::SendSecureFile(Bytes fileName, Bytes data, IConfigurationCallback* callback) {
  int result = kConfigurationFailed;
  try {
    if (!FitsOneMessage(data)) throw std::length_error("file too long");
    const std::string idText = BytesToHexString(fileName);
    std::string signedRequest;
    {
      QrxCommand command(kAnnounceSecureFile);
      Announce(command, idText, data);
      const std::string nested = BuildNestedTlvRequest(kSecureRequestValue, kSecureRequestHex);
      const ChallengeReply challenge = RequestChallenge(kAnnounceSecureFile);
      const std::string request = command.BytesInHex();
      const MacCalculator mac = [callback](uint8_t type, Bytes signedData) {
        if (callback == nullptr) return Bytes();
        MacResult calculated = callback->OnCalculateMAC(type, std::move(signedData));
        return calculated.Status == 0 ? std::move(calculated.Mac) : Bytes();
      };
      signedRequest = BuildSignedBlock(request, nested, challenge.Parameter82, challenge.Token, mac);
    }
    if (Qrx().getStatusCode(Exchange(signedRequest)) == 0 &&
        Qrx().getStatusCode(SendContent(idText, data, kAnnounceSecureFile, callback)) == 0) {
      result = kConfigurationSuccess;
    }
  } catch (...) {
    result = kConfigurationFailed;
  }
  ReportResult(callback, result);
  return result;
}

}  // namespace pelorixj
