#include "sim_packets.h"

#include <gtest/gtest.h>

#include "sim_messages.h"

namespace reader_sim {
namespace {

Bytes Pattern(size_t length) {
  Bytes bytes(length);
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i * 31 + 7);
  return bytes;
}

// The host's packets are not padded: strip the reader's padding again.
Bytes Unpadded(const Bytes& padded) {
  Bytes out;
  for (size_t position = 0; position < padded.size(); position += 64) {
    const uint8_t* packet = padded.data() + position;
    const size_t length = packet[0] == 0x00 || packet[0] == 0x03 ? 2 + packet[1] : 64;
    out.insert(out.end(), packet, packet + length);
  }
  return out;
}

struct Layout {
  size_t length;
  std::vector<uint8_t> kinds;
};

void PrintTo(const Layout& c, std::ostream* out) { *out << c.length << " bytes"; }

class ReaderPacketLayout : public ::testing::TestWithParam<Layout> {};

TEST_P(ReaderPacketLayout, PadsEveryPacketTo64Bytes) {
  const auto packets = PacketiseForReader(Pattern(GetParam().length));
  ASSERT_EQ(packets.size(), GetParam().kinds.size() * 64);
  for (size_t i = 0; i < GetParam().kinds.size(); ++i) EXPECT_EQ(packets[i * 64], GetParam().kinds[i]);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReaderPacketLayout,
                         ::testing::Values(Layout{0, {0}}, Layout{62, {0}}, Layout{63, {1, 3}},
                                           Layout{181, {1, 2, 3}}, Layout{182, {1, 2, 2, 3}}));

TEST(ReaderPacketParser, ReassemblesTheHostStreamFedByteByByte) {
  PacketStreamParser parser;
  Bytes stream;
  const std::vector<size_t> lengths = {0, 5, 62, 63, 181, 182, 5000};
  for (size_t length : lengths) {
    const auto packets = Unpadded(PacketiseForReader(Pattern(length)));
    stream.insert(stream.end(), packets.begin(), packets.end());
  }
  for (uint8_t byte : stream) parser.Feed(&byte, 1);
  const auto messages = parser.TakeMessages();
  ASSERT_EQ(messages.size(), lengths.size());
  for (size_t i = 0; i < lengths.size(); ++i) EXPECT_EQ(messages[i], Pattern(lengths[i]));
  EXPECT_TRUE(parser.TakeErrors().empty());
}

TEST(ReaderPacketParser, ReportsFaultsOfTheHostStream) {
  const auto packets = Unpadded(PacketiseForReader(Pattern(300)));
  struct Case {
    const char* name;
    Bytes stream;
  };
  const Bytes start(packets.begin(), packets.begin() + 64);
  const Bytes second(packets.begin() + 64, packets.begin() + 128);
  const Bytes third(packets.begin() + 128, packets.begin() + 192);
  const Bytes rest(packets.begin() + 192, packets.end());
  const std::vector<Case> cases = {
      {"lost continuation", Concat({start, third, rest})},
      {"end without start", Concat({rest})},
      {"stray byte", Bytes{0x09}},
      {"start inside a message", Concat({start, start, second, third, rest})},
  };
  for (const auto& c : cases) {
    PacketStreamParser parser;
    parser.Feed(c.stream.data(), c.stream.size());
    EXPECT_FALSE(parser.TakeErrors().empty()) << c.name;
  }
}

TEST(ReaderMessages, ResponseCarriesTheStatusPairAfterTheEchoedSequence) {
  EXPECT_EQ(ToHex(BuildResponse(0x1001, 0x05, {0x00, 0x000000}, {})), "AA00810402051001820400000000");
  EXPECT_EQ(ToHex(BuildResponse(0x1008, 0x10, {0x01, 0x000002}, {{0x81, {0x07}}})),
            "AA0081040210100882040100000284051008810107");
}

TEST(ReaderMessages, NotificationAndFileMessagesFollowTheirLayouts) {
  EXPECT_EQ(ToHex(BuildNotification(0x1805, 0x01010101, {})), "AA00810403001805820401010101");
  EXPECT_EQ(ToHex(BuildFileMessage(0xD812, 0x01000000, {0x01, 0x02})), "AA0081080400D8120100000084020102");
}

TEST(ReaderMessages, ReadsTheHostCommand) {
  // Command 1010 with sequence 7 and inner parameter 81 = 02.
  const auto message = ReadHostMessage(FromHex("AAFF81040107101084051010810102"));
  EXPECT_TRUE(message.IsCommand(0x1010));
  EXPECT_EQ(message.sequence, 0x07);
  EXPECT_EQ(message.Inner(0x81), Bytes{0x02});
  EXPECT_FALSE(ReadHostMessage(Bytes{0x01, 0x02}).isFrame);
}

}  // namespace
}  // namespace reader_sim
