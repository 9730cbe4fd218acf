#include "demo_scenario.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "demo_configuration.h"
#include "quorlan/message/command_envelope.h"
#include "quorlan/message/message_frame.h"
#include "tcp_host.h"

namespace reader_sim {
namespace {

using namespace std::chrono_literals;

// Value of the first item with this tag among the top-level items.
Bytes ItemValue(const Bytes& data, uint8_t tag, int occurrence = 0) {
  for (const auto& item : quorlan::ParseTlvItems(data.data(), data.size())) {
    if (item.tag == tag && occurrence-- == 0) return item.value;
  }
  return {};
}

class DemoScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallDemoScenario(reader, 5ms);
    ASSERT_TRUE(reader.Start());
    hostHolder = std::make_unique<quorlan::testing_support::TcpHost>(reader.port());
    ASSERT_EQ(host().connection->Open(), quorlan::kConnectionOk);
  }
  quorlan::testing_support::TcpHost& host() { return *hostHolder; }

  SimulatedReader reader;
  std::unique_ptr<quorlan::testing_support::TcpHost> hostHolder;
};

TEST_F(DemoScenarioTest, StartTransactionIsAnsweredThenFollowedByNotifications) {
  ASSERT_EQ(host().Send(quorlan::OrvaneCommand(kStartTransaction).Serialize()), quorlan::kConnectionOk);
  ASSERT_TRUE(host().WaitForMessages(6));
  const auto messages = host().Messages();
  const auto response = quorlan::OrvaneAPIFrameWork::Parse(messages[0]);
  EXPECT_EQ(response.type, 0xAA00);
  EXPECT_EQ(response.GetParameter(1)[0], kResponse);
  EXPECT_EQ(response.GetParameter(2), (Bytes{0, 0, 0, 0}));
  const std::vector<std::pair<uint16_t, uint32_t>> expected = {
      {0x0101, 0x10010200}, {0x1803, 0x02010100}, {0x0105, 0x00020200}, {0x0105, 0x00040000}, {0x0101, 0x10010300}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(messages[i + 1], BuildNotification(expected[i].first, expected[i].second,
                                                 i == 1 ? InnerParameters{{0x83, FromHex("50524F43455353494E47")}}
                                                        : InnerParameters{}));
  }
}

TEST_F(DemoScenarioTest, CardDataCarriesTwoIndexedEntries) {
  quorlan::OrvaneCommand command(kReadTransactionData);
  command.frame.SetParameter(1, {0x01});
  ASSERT_EQ(host().Send(command.Serialize()), quorlan::kConnectionOk);
  ASSERT_TRUE(host().WaitForMessages(1));
  const auto response = quorlan::OrvaneAPIFrameWork::Parse(host().Messages()[0]);
  const auto inner = quorlan::OrvaneAPIFrameWork::Parse(response.GetParameter(4));
  EXPECT_EQ(inner.GetParameter(1).size(), 3u);
  // A4.A4.A0(n).81 and .84, as the card data export walks them.
  const Bytes entries = ItemValue(inner.GetParameter(35), 0xA4);
  for (int n = 0; n < 2; ++n) {
    const Bytes entry = ItemValue(entries, 0xA0, n);
    const Bytes index = ItemValue(entry, 0x81);
    ASSERT_EQ(index.size(), 4u);
    EXPECT_EQ(index[0], n + 1);
    EXPECT_FALSE(ItemValue(entry, 0x84).empty());
  }
}

TEST_F(DemoScenarioTest, UnknownCommandsSucceed) {
  ASSERT_EQ(host().Send(quorlan::OrvaneCommand(0x7777).Serialize()), quorlan::kConnectionOk);
  ASSERT_TRUE(host().WaitForMessages(1));
  const auto response = quorlan::OrvaneAPIFrameWork::Parse(host().Messages()[0]);
  EXPECT_EQ(response.GetParameter(1)[2], 0x77);
  EXPECT_EQ(response.GetParameter(2), (Bytes{0, 0, 0, 0}));
}

// A response as its status pair and its parameter 89 if it has parameters, a
// file message as its id and payload.
std::string Describe(const Bytes& message) {
  const auto frame = quorlan::OrvaneAPIFrameWork::Parse(message);
  const Bytes header = frame.GetParameter(1);
  if (header.size() >= 8 && header[0] == kFile) {
    return "file " + ToHex(Bytes(header.begin() + 4, header.begin() + 8)) + " " + ToHex(frame.GetParameter(4));
  }
  const Bytes inner = frame.GetParameter(4);
  const std::string status = "status " + ToHex(frame.GetParameter(2));
  return inner.empty() ? status : status + " 89=" + ToHex(quorlan::OrvaneAPIFrameWork::Parse(inner).GetParameter(9));
}

TEST_F(DemoScenarioTest, ReadsOfTheModelSerialNumberAndFileAreAnsweredAndOthersRefused) {
  const std::string model = "E11DE21BE219E217C215" + ToHex(Bytes(kDemoModel, kDemoModel + sizeof kDemoModel - 1));
  struct Read {
    uint16_t code;
    std::map<int, std::string> parameters;  // by parameter key: 5 is tag 85
    std::vector<std::string> answer;
  };
  const Read reads[] = {
      {kReadConfiguration, {{5, "02"}, {9, "E108E206E204E202C200"}}, {"status 00000000 89=" + model}},
      {kReadConfiguration,
       {{5, "02"}, {9, "E208E106E104E102C100"}},
       {"status 00000000 89=E20CE10AE108E106C1040000001F"}},
      {kReadConfiguration, {{5, "02"}, {9, "E108E206E104E102C200"}}, {"status 00000001"}},
      {kReadConfiguration, {{5, "01"}, {9, "E108E206E204E202C200"}}, {"status 00000001"}},
      {kReadFile, {{1, "02000000"}, {7, "01"}}, {"status 00000001"}},
      {kReadFile, {{1, "01000000"}, {7, "01"}}, {"status 00000000", "file 01000000 4649435455532044454D4F2046494C45"}},
  };
  std::vector<std::string> expected;
  for (const Read& read : reads) {
    quorlan::OrvaneCommand command(read.code);
    for (const auto& [key, hex] : read.parameters) command.frame.SetParameter(key, FromHex(hex));
    ASSERT_EQ(host().Send(command.Serialize()), quorlan::kConnectionOk);
    expected.insert(expected.end(), read.answer.begin(), read.answer.end());
    // The reader answers in order: a file after a refusal would come before the next answer.
    ASSERT_TRUE(host().WaitForMessages(expected.size()));
  }
  std::vector<std::string> answers;
  for (const Bytes& message : host().Messages()) answers.push_back(Describe(message));
  EXPECT_EQ(answers, expected);
}

}  // namespace
}  // namespace reader_sim
