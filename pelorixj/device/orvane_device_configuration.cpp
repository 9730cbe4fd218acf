#include "pelorixj/device/orvane_device_configuration.h"

#include <iterator>
#include <utility>
#include <vector>

#include "pelorixj/device/configuration_support.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/frame_hex.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/qrx_command.h"
#include "pelorixj/device/tlv_hex.h"
#include "quorlan/message/ber_tlv.h"
#include "quorlan/message/plain_text.h"

namespace pelorixj {
namespace {

constexpr uint16_t kReadConfiguration = 0xD101;
constexpr uint16_t kWriteConfiguration = 0xD111;
constexpr uint16_t kUpdateKey = 0xEF01;
// Parameter 0x85 of the configuration commands.
const char kTlvPathRead[] = "02";
const char kTlvPathWrite[] = "01";
// Frame type of the signed block inside the envelope.
constexpr uint16_t kSignedBlockType = 0xEEEE;
// Parameter number that the frame writes with tag 0xFF.
constexpr int kMacParameter = 158;

enum class InfoForm { kShortHex, kText, kHex };

struct InfoSelector {
  const char* path;
  InfoForm form;
};

const InfoSelector kInfoSelectors[] = {
    {"E2.E1.E1.E1.C1", InfoForm::kShortHex},
    {"E1.E2.E2.E2.C2", InfoForm::kText},
    {"E2.E1.E1.E1.C2", InfoForm::kText},
    {"E1.E2.E1.E1.C2", InfoForm::kText},
    {"E1.E2.E1.E2.C2", InfoForm::kText},
    {"E1.E2.E6.E1.C1", InfoForm::kHex},
    {"E3.E1.E1.E2.C3", InfoForm::kHex},
    {"E3.E1.E2.E1.C1", InfoForm::kHex},
    {"E3.E1.E2.E1.C2", InfoForm::kHex},
};
constexpr int kShortHexDigits = 7;

std::string FormInfo(const IDeviceConfiguration::Bytes& bytes, InfoForm form) {
  switch (form) {
    case InfoForm::kShortHex:
      return BytesToHexString(bytes).substr(0, kShortHexDigits);
    case InfoForm::kText: {
      std::string text(bytes.begin(), bytes.end());
      return quorlan::RightTrimBlanks(text.substr(0, text.find('\0')));
    }
    case InfoForm::kHex:
      break;
  }
  return BytesToHexString(bytes);
}

}  // namespace

std::string OrvaneDeviceConfiguration::Exchange(const std::string& hexCommand) {
  return control_->SendSyncWithTimeout(hexCommand, control_->Waits().replyMs);
}

std::string OrvaneDeviceConfiguration::GetDeviceInfo(int selector) {
  if (selector < 0 || selector >= static_cast<int>(std::size(kInfoSelectors))) return "";
  const InfoSelector& s = kInfoSelectors[selector];
  try {
    return FormInfo(ReadByTlvPath(s.path), s.form);
  } catch (...) {
    return "";
  }
}

IDeviceConfiguration::Bytes OrvaneDeviceConfiguration::GetConfigInfo(uint8_t type, Bytes data) {
  try {
    const std::string reply =
        Exchange(CommandBytesInHex(kReadConfiguration, {{0x85, HexByte(type)}, {0x89, BytesToHexString(data)}}));
    return HexPairsToBytes(Qrx().getResponseParameter(reply, "89"));
  } catch (...) {
    return {};
  }
}

IDeviceConfiguration::Bytes OrvaneDeviceConfiguration::GetKeyInfo(uint8_t, Bytes data) {
  try {
    // Quorlan reads past one blank before a piece; the text keeps the form it has always had.
    const std::string reply = Exchange(Qrx().getFormattedCommandBytesInHex("EF11, 81=" + BytesToHexString(data)));
    return HexPairsToBytes(Qrx().getResponseParameter(reply, "84"));
  } catch (...) {
    return {};
  }
}

IDeviceConfiguration::Bytes OrvaneDeviceConfiguration::GetChallengeToken(Bytes data) {
  if (data.size() != 2) return {};
  try {
    return HexPairsToBytes(RequestChallenge(static_cast<uint16_t>(data[0] * 256 + data[1])).Token);
  } catch (...) {
    return {};
  }
}

int OrvaneDeviceConfiguration::SetConfigInfo(uint8_t type, Bytes data, IConfigurationCallback* callback) {
  int status = kConfigurationFailed;
  Bytes reply;
  try {
    const std::string replyHex =
        Exchange(CommandBytesInHex(kWriteConfiguration, {{0x85, HexByte(type)}, {0x89, BytesToHexString(data)}}));
    status = static_cast<int>(Qrx().getStatusCode(replyHex));
    reply = HexPairsToBytes(replyHex);
  } catch (...) {
    status = kConfigurationFailed;
    reply.clear();
  }
  // Outside the exchange's failure path, so that it is called once.
  ReportResult(callback, status != 0 ? kConfigurationFailed : kConfigurationSuccess, std::move(reply));
  return status;
}

int OrvaneDeviceConfiguration::UpdateKeyInfo(uint8_t, Bytes data, IConfigurationCallback*) {
  try {
    return static_cast<int>(
        Qrx().getStatusCode(Exchange(CommandBytesInHex(kUpdateKey, {{0x84, BytesToHexString(data)}}))));
  } catch (...) {
    return kConfigurationFailed;
  }
}

std::string OrvaneDeviceConfiguration::BuildNestedTlvRequest(uint16_t value, std::string hexValue) {
  using quorlan::TlvNode;
  return TlvNodeToHex(TlvNode("81", std::move(hexValue))) + TlvNodeToHex(TlvNode("84", "")) +
         TlvNodeToHex(TlvNode("85", "")) + TlvNodeToHex(TlvNode("A8", Hex4(value))) +
         TlvNodeToHex(TlvNode("A9", ""));
}

std::string OrvaneDeviceConfiguration::BuildSignedBlock(std::string messageHex, std::string a1Hex,
                                                        std::string p82Hex, std::string p83Hex, MacCalculator mac) {
  const quorlan::OrvaneAPIFrameWork message = ParseHex(messageHex);
  quorlan::OrvaneAPIFrameWork block(kSignedBlockType);
  SetParameterFromTag(block, 0xA1, a1Hex);
  SetParameterFromTag(block, 0x82, p82Hex);
  SetParameterFromTag(block, 0x83, p83Hex);
  block.SetParameter(4, message.GetParameter(4));
  block.SetParameter(kMacParameter, mac(0, block.Serialize()));

  quorlan::OrvaneAPIFrameWork envelope(0xAA00);
  SetParameterFromTag(envelope, 0x81, "0100" + Hex4(message.type));
  envelope.SetParameter(4, block.Serialize());
  return BytesToHexString(envelope.Serialize());
}

ChallengeReply OrvaneDeviceConfiguration::RequestChallenge(uint16_t id) {
  const std::string reply = Exchange(Qrx().getFormattedCommandBytesInHex("E001,81=" + Hex4(id)));
  return {Qrx().getResponseParameter(reply, "83"), Qrx().getResponseParameter(reply, "82")};
}

IDeviceConfiguration::Bytes OrvaneDeviceConfiguration::ReadByTlvPath(const std::string& path) {
  try {
    const std::string reply =
        Exchange(CommandBytesInHex(kReadConfiguration, {{0x85, kTlvPathRead}, {0x89, NestTlvPath(path, "")}}));
    if (Qrx().getStatusCode(reply) != 0) return {};
    const quorlan::TlvNodes items = ParseBerTlvFlatHex(Qrx().getResponseParameter(reply, "89"));
    // The innermost item comes last.
    return items.empty() ? Bytes() : HexPairsToBytes(items.back().value);
  } catch (...) {
    return {};
  }
}

int OrvaneDeviceConfiguration::WriteByTlvPath(const std::string& path, const Bytes& value) {
  try {
    const std::string reply = Exchange(CommandBytesInHex(
        kWriteConfiguration, {{0x85, kTlvPathWrite}, {0x89, NestTlvPath(path, BytesToHexString(value))}}));
    return static_cast<int>(Qrx().getStatusCode(reply));
  } catch (...) {
    return kConfigurationFailed;
  }
}

std::string OrvaneDeviceConfiguration::NestTlvPath(const std::string& path, const std::string& valueHex) {
  try {
    const std::vector<std::string> tags = quorlan::SplitString(path, ".");
    std::string current = valueHex;
    for (auto tag = tags.rbegin(); tag != tags.rend(); ++tag) current = TlvNodeToHex(quorlan::TlvNode(*tag, current));
    return current;
  } catch (...) {
    return "";
  }
}

}  // namespace pelorixj
