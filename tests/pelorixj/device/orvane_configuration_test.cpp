// The newer platform's configuration object against the real libQuorlan.so
// and a simulated reader over TCP.
#include "pelorixj/device/orvane_device_configuration.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "configuration_session.h"
#include "pelorixj/device/hex_conversions.h"

namespace pelorixj {
namespace {

using reader_sim::Bytes;
using reader_sim::Reply;
using reader_sim::Status;

// The value wrapped in one item per tag of the path, the last innermost.
Bytes Nested(const std::string& path, Bytes value) {
  std::string digits;  // every tag here is one byte
  for (char c : path) {
    if (c != '.') digits += c;
  }
  const Bytes tags = reader_sim::FromHex(digits);
  for (auto tag = tags.rbegin(); tag != tags.rend(); ++tag) value = reader_sim::Tlv(*tag, value);
  return value;
}

TEST(OrvaneConfiguration, NestsAValueInsideTheItemsOfATagPath) {
  const std::string cases[][3] = {
      {"C1", "", "C100"},
      {"E3.C1", "0102", "E304C1020102"},
      {"E2.E1.E1.E1.C1", "", "E208E106E104E102C100"},
      {"E2.E3.E1.E1.C1", "02", "E209E307E105E103C10102"},
  };
  for (const auto& [path, value, nested] : cases) {
    EXPECT_EQ(OrvaneDeviceConfiguration::NestTlvPath(path, value), nested) << path;
  }
  EXPECT_EQ(OrvaneDeviceConfiguration(nullptr).BuildNestedTlvRequest(0x1111, "0303060208"),
            "8105030306020884008500A8021111A900");
}

TEST(OrvaneConfiguration, SignsTheMessagesParameter4InAnEnvelopeNamingItsType) {
  OrvaneDeviceConfiguration configuration(nullptr);
  std::vector<std::pair<uint8_t, std::string>> signedData;
  const auto mac = [&](uint8_t type, std::vector<uint8_t> data) {
    signedData.emplace_back(type, Hex(data));
    return std::vector<uint8_t>{0x99, 0x98};
  };
  const std::string block = "EEEE8201028301038402ABCDA10101";
  EXPECT_EQ(configuration.BuildSignedBlock("12348402ABCD8101FF", "01", "02", "03", mac),
            "AA00810401001234" "8413" + block + "FF029998");
  EXPECT_EQ(signedData, (std::vector<std::pair<uint8_t, std::string>>{{0, block}}));
  EXPECT_THROW(configuration.BuildSignedBlock("123", "01", "02", "03", mac), std::runtime_error);
}

TEST(OrvaneConfiguration, ReadsEachDeviceInfoSelectorAtItsPath) {
  struct Case {
    int selector;
    const char* path;  // null: nothing may be sent
    Bytes value;
    std::string result;
    Status status = {};
  };
  const Case cases[] = {
      {0, "E2.E1.E1.E1.C1", {0x01, 0x02, 0x03, 0x04, 0x05}, "0102030"},
      {0, "E2.E1.E1.E1.C1", {0xAB}, "AB"},
      {1, "E1.E2.E2.E2.C2", {0x41, 0x42, 0x20, 0x20, 0x00, 0x43}, "AB"},
      {2, "E2.E1.E1.E1.C2", reader_sim::FromHex("4D3120390920"), "M1 9"},
      {3, "E1.E2.E1.E1.C2", reader_sim::FromHex("2058"), " X"},
      {4, "E1.E2.E1.E2.C2", reader_sim::FromHex("3132"), "12"},
      {5, "E1.E2.E6.E1.C1", {0x00, 0x01, 0xFE}, "0001FE"},
      {6, "E3.E1.E1.E2.C3", {0x0A}, "0A"},
      {7, "E3.E1.E2.E1.C1", {0x20, 0x24}, "2024"},
      {8, "E3.E1.E2.E1.C2", {}, ""},
      {8, "E3.E1.E2.E1.C2", {0x01}, "", {0, 1}},
      {9, nullptr, {}, ""},
      {-1, nullptr, {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selector);
    ConfigurationSession session;
    const std::string path = c.path ? c.path : "";
    session.reader.SetReply(0xD101, Reply::WithStatus(c.status.operationStatus, c.status.commandStatus,
                                                      {{0x89, Nested(path, c.value)}}));
    ASSERT_TRUE(session.Open());
    EXPECT_EQ(session.configuration.GetDeviceInfo(c.selector), c.result);
    std::vector<std::string> sent;
    if (c.path) sent.push_back(Envelope(0xD101, {{0x85, "02"}, {0x89, Hex(Nested(path, {}))}}));
    EXPECT_EQ(session.ReceivedHex(), sent);
  }
}

TEST(OrvaneConfiguration, ReadsAndWritesByTagPath) {
  struct Case {
    const char* name;
    std::function<std::string(OrvaneDeviceConfiguration&)> call;
    uint16_t code;
    Reply reply;
    std::string sent;
    std::string result;
  };
  const auto read = [](OrvaneDeviceConfiguration& c) { return Hex(c.ReadByTlvPath("E3.C1")); };
  const auto write = [](OrvaneDeviceConfiguration& c) { return std::to_string(c.WriteByTlvPath("E3.C1", {1, 2})); };
  const std::string readCommand = Envelope(0xD101, {{0x85, "02"}, {0x89, "E302C100"}});
  const std::string writeCommand = Envelope(0xD111, {{0x85, "01"}, {0x89, "E304C1020102"}});
  const Case cases[] = {
      {"read: the innermost value", read, 0xD101, Reply::Ok({{0x89, reader_sim::FromHex("E305E103C10109")}}),
       readCommand, "09"},
      {"read: no value", read, 0xD101, Reply::Ok(), readCommand, ""},
      {"read: refused", read, 0xD101, Reply::WithStatus(0, 5, {{0x89, reader_sim::FromHex("E304C1020102")}}),
       readCommand, ""},
      {"write", write, 0xD111, Reply::Ok(), writeCommand, "0"},
      {"write: refused", write, 0xD111, Reply::WithStatus(2, 1), writeCommand, "513"},
      {"write: no reply", write, 0xD111, Reply::Ok().WithoutResponse(), writeCommand, "2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigurationSession session;
    if (!c.reply.respond) session.control->SetResponseWaits(ShortWait(&ResponseWaits::replyMs));
    session.reader.SetReply(c.code, c.reply);
    ASSERT_TRUE(session.Open());
    EXPECT_EQ(c.call(session.configuration), c.result);
    EXPECT_EQ(session.ReceivedHex(), std::vector<std::string>{c.sent});
  }
}

TEST(OrvaneConfiguration, SendsConfigurationKeyAndChallengeRequests) {
  struct Case {
    const char* name;
    std::function<std::string(OrvaneDeviceConfiguration&)> call;
    uint16_t code;
    Reply reply;
    std::string sent;  // "" when nothing may be sent
    std::string result;
    bool open = true;
  };
  const auto configInfo = [](OrvaneDeviceConfiguration& c) { return Hex(c.GetConfigInfo(3, {0xAA, 0xBB})); };
  const auto keyInfo = [](OrvaneDeviceConfiguration& c) { return Hex(c.GetKeyInfo(9, {0x01, 0x02})); };
  const auto updateKey = [](OrvaneDeviceConfiguration& c) {
    return std::to_string(c.UpdateKeyInfo(1, {0x01, 0x02, 0x03}, nullptr));
  };
  const auto token = [](Bytes request) {
    return [request](OrvaneDeviceConfiguration& c) { return Hex(c.GetChallengeToken(request)); };
  };
  const Reply challenge = Reply::Ok({{0x82, {0xAB}}, {0x83, {0x01, 0x02, 0x03, 0x04}}});
  const std::string configCommand = Envelope(0xD101, {{0x85, "03"}, {0x89, "AABB"}});
  const Case cases[] = {
      {"configuration: the whole value", configInfo, 0xD101, Reply::Ok({{0x89, reader_sim::FromHex("E103C10109")}}),
       configCommand, "E103C10109"},
      {"configuration: status not looked at", configInfo, 0xD101,
       Reply::WithStatus(0, 7, {{0x89, reader_sim::FromHex("09")}}), configCommand, "09"},
      {"configuration: closed", configInfo, 0xD101, Reply::Ok(), "", "", false},
      {"key information", keyInfo, 0xEF11, Reply::WithStatus(0, 1, {{0x84, {0x11, 0x22}}}),
       Envelope(0xEF11, {{0x81, "0102"}}), "1122"},
      {"key update", updateKey, 0xEF01, Reply::Ok(), Envelope(0xEF01, {{0x84, "010203"}}), "0"},
      {"refused key update", updateKey, 0xEF01, Reply::WithStatus(1, 2), Envelope(0xEF01, {{0x84, "010203"}}),
       "258"},
      {"key update: closed", updateKey, 0xEF01, Reply::Ok(), "", "2", false},
      {"challenge", token({0x12, 0x34}), 0xE001, challenge, Envelope(0xE001, {{0x81, "1234"}}), "01020304"},
      {"challenge: 1 byte", token({0x12}), 0xE001, challenge, "", ""},
      {"challenge: 3 bytes", token({0x12, 0x34, 0x56}), 0xE001, challenge, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigurationSession session;
    session.reader.SetReply(c.code, c.reply);
    if (c.open) {
      ASSERT_TRUE(session.Open());
    }
    EXPECT_EQ(c.call(session.configuration), c.result);
    std::vector<std::string> sent;
    if (!c.sent.empty()) sent.push_back(c.sent);
    EXPECT_EQ(session.ReceivedHex(), sent);
  }
}

TEST(OrvaneConfiguration, SetConfigInfoReportsTheStatusBothWays) {
  struct Case {
    const char* name;
    bool open;
    Status status = {};
    int result;
    int reported;  // -1: no callback given
    bool replyReported;
  };
  const Case cases[] = {
      {"accepted", true, {0, 0}, 0, 0, true},
      {"refused", true, {0, 5}, 5, 2, true},
      {"without a callback", true, {0, 5}, 5, -1, false},
      {"closed", false, {0, 0}, 2, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigurationSession session;
    session.reader.SetReply(0xD111, Reply::WithStatus(c.status.operationStatus, c.status.commandStatus));
    if (c.open) {
      ASSERT_TRUE(session.Open());
    }
    RecordingCallback callback;
    EXPECT_EQ(session.configuration.SetConfigInfo(0, {0xE1, 0x00}, c.reported < 0 ? nullptr : &callback), c.result);
    std::vector<std::pair<int, std::string>> reported;
    const auto received = session.reader.Received();
    if (c.open) {
      ASSERT_EQ(received.size(), 1u);
      EXPECT_EQ(Masked(Hex(received[0].raw)), Envelope(0xD111, {{0x85, "00"}, {0x89, "E100"}}));
    }
    if (c.reported >= 0) {
      const std::string reply =
          c.replyReported ? Hex(reader_sim::BuildResponse(0xD111, received[0].sequence, c.status, {})) : "";
      reported.emplace_back(c.reported, reply);
    }
    EXPECT_EQ(callback.results, reported);
  }
}

}  // namespace
}  // namespace pelorixj
