#include "quorlan/transport/korvex_packet_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorlan {
namespace {

struct PacketLayout {
  size_t messageLength;
  std::vector<size_t> packetLengths;
  std::vector<uint8_t> kinds;
  size_t endPayload;
};

void PrintTo(const PacketLayout& c, std::ostream* out) { *out << c.messageLength << " bytes"; }

class PacketLayoutTest : public ::testing::TestWithParam<PacketLayout> {};

TEST_P(PacketLayoutTest, SplitsMessageIntoTheExpectedPackets) {
  const auto& expected = GetParam();
  std::vector<uint8_t> message(expected.messageLength);
  for (size_t i = 0; i < message.size(); ++i) message[i] = static_cast<uint8_t>(i * 13 + 5);
  const auto stream = BuildPackets(message.data(), message.size());
  ASSERT_EQ(stream.count, expected.packetLengths.size());
  std::vector<uint8_t> payload;
  for (size_t i = 0; i < stream.count; ++i) {
    const uint8_t* packet = stream.Packet(i);
    EXPECT_EQ(stream.PacketLength(i), expected.packetLengths[i]) << "packet " << i;
    EXPECT_EQ(packet[0], expected.kinds[i]) << "packet " << i;
    switch (packet[0]) {
      case kSinglePacket:
        EXPECT_EQ(packet[1], expected.messageLength);
        payload.insert(payload.end(), packet + 2, packet + 2 + packet[1]);
        break;
      case kStartPacket:
        EXPECT_EQ(uint32_t{packet[1]} << 24 | packet[2] << 16 | packet[3] << 8 | packet[4], expected.messageLength);
        payload.insert(payload.end(), packet + 5, packet + 64);
        break;
      case kContinuationPacket:
        EXPECT_EQ(packet[1] << 8 | packet[2], static_cast<int>(i)) << "sequence counts from 1";
        payload.insert(payload.end(), packet + 3, packet + 64);
        break;
      case kEndPacket:
        EXPECT_EQ(packet[1], expected.endPayload);
        payload.insert(payload.end(), packet + 2, packet + 2 + packet[1]);
        break;
    }
  }
  EXPECT_EQ(payload, message);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, PacketLayoutTest,
    ::testing::Values(PacketLayout{0, {2}, {0x00}, 0}, PacketLayout{1, {3}, {0x00}, 0},
                      PacketLayout{62, {64}, {0x00}, 0}, PacketLayout{63, {64, 6}, {0x01, 0x03}, 4},
                      PacketLayout{120, {64, 63}, {0x01, 0x03}, 61},
                      PacketLayout{121, {64, 64, 3}, {0x01, 0x02, 0x03}, 1},
                      PacketLayout{181, {64, 64, 63}, {0x01, 0x02, 0x03}, 61},
                      PacketLayout{182, {64, 64, 64, 3}, {0x01, 0x02, 0x02, 0x03}, 1}));

TEST(PacketLayout, LargeMessageNumbersItsContinuationsInOrder) {
  std::vector<uint8_t> message(3 * 1024 * 1024, 0x5A);
  const auto stream = BuildPackets(message.data(), message.size());
  ASSERT_EQ(stream.count, 51570u);
  const uint8_t* last = stream.Packet(stream.count - 2);
  EXPECT_EQ(last[0], kContinuationPacket);
  EXPECT_EQ(last[1] << 8 | last[2], 51568);
  EXPECT_EQ(stream.Packet(stream.count - 1)[0], kEndPacket);
  EXPECT_EQ(stream.bytes.size(), (stream.count - 1) * 64 + 2 + 21);
}

}  // namespace
}  // namespace quorlan
