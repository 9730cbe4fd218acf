#include "quorlan/transport/korvex_communication_package.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>

#include "package_test_support.h"

namespace quorlan {
namespace {

using testing_support::DeliveredMessages;
using testing_support::PatternMessage;
using testing_support::RecordingWriter;
using Packet = std::vector<uint8_t>;

std::vector<Packet> PacketsOf(const std::vector<uint8_t>& message) {
  const auto stream = BuildPackets(message.data(), message.size());
  std::vector<Packet> packets;
  for (size_t i = 0; i < stream.count; ++i) {
    packets.emplace_back(stream.Packet(i), stream.Packet(i) + stream.PacketLength(i));
  }
  return packets;
}

// The stream as a reader sends it: every packet padded to 64 bytes.
std::vector<uint8_t> PaddedStream(const std::vector<uint8_t>& message) {
  std::vector<uint8_t> stream;
  for (auto packet : PacketsOf(message)) {
    packet.resize(64, 0);
    stream.insert(stream.end(), packet.begin(), packet.end());
  }
  return stream;
}

struct Receiver {
  KorvexCommunicationPackage package;
  DeliveredMessages delivered;
  Receiver() { delivered.Attach(package); }
  void Handle(const std::vector<Packet>& packets) {
    for (const auto& packet : packets) package.HandlePacket(packet);
  }
};

TEST(KorvexReassembly, DeliversSinglePacketAtOnce) {
  Receiver receiver;
  receiver.package.HandlePacket({0x00, 0x03, 0x41, 0x42, 0x43, 0x00, 0x00});
  ASSERT_EQ(receiver.delivered.messages.size(), 1u);
  EXPECT_EQ(receiver.delivered.messages[0], (std::vector<uint8_t>{0x41, 0x42, 0x43}));
}

struct PacketScenario {
  const char* name;
  // Indexes into the packets of a 350-byte message (start, 4 continuations, end).
  std::vector<size_t> order;
  bool delivered;
};

void PrintTo(const PacketScenario& c, std::ostream* out) { *out << c.name; }

class KorvexReassemblyScenario : public ::testing::TestWithParam<PacketScenario> {};

TEST_P(KorvexReassemblyScenario, DeliversOnlyCompleteMessages) {
  const auto message = PatternMessage(350, 7);
  const auto packets = PacketsOf(message);
  ASSERT_EQ(packets.size(), 6u);
  Receiver receiver;
  for (size_t index : GetParam().order) receiver.package.HandlePacket(packets[index]);
  if (GetParam().delivered) {
    ASSERT_EQ(receiver.delivered.messages.size(), 1u);
    EXPECT_EQ(receiver.delivered.messages[0], message);
  } else {
    EXPECT_TRUE(receiver.delivered.messages.empty());
  }
  // Whatever happened, the package is idle again and takes the next message.
  receiver.delivered.messages.clear();
  receiver.Handle(packets);
  ASSERT_EQ(receiver.delivered.messages.size(), 1u);
  EXPECT_EQ(receiver.delivered.messages[0], message);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, KorvexReassemblyScenario,
    ::testing::Values(PacketScenario{"InOrder", {0, 1, 2, 3, 4, 5}, true},
                      PacketScenario{"DuplicatedContinuation", {0, 1, 2, 2, 3, 4, 5}, true},
                      PacketScenario{"ReorderedContinuations", {0, 3, 1, 4, 2, 5}, true},
                      PacketScenario{"LostContinuation", {0, 1, 3, 4, 5}, false},
                      PacketScenario{"LostStart", {1, 2, 3, 4, 5}, false},
                      PacketScenario{"EndOnly", {5}, false},
                      PacketScenario{"RestartDiscardsPartialMessage", {0, 1, 2, 0, 1, 2, 3, 4, 5}, true},
                      PacketScenario{"EndBeforeLastContinuation", {0, 1, 2, 3, 5, 4}, false}),
    [](const auto& info) { return info.param.name; });

TEST(KorvexReassembly, DeliversMessagesUpToTheLargestThePacketsNumber) {
  // A start packet, every 16-bit continuation number, and an end packet.
  for (size_t size : {size_t{59} + 65534 * 61 + 61, size_t{59} + 65535 * 61 + 61}) {
    const auto message = PatternMessage(size, 3);
    Receiver receiver;
    receiver.Handle(PacketsOf(message));
    ASSERT_EQ(receiver.delivered.messages.size(), 1u) << size;
    EXPECT_EQ(receiver.delivered.messages[0], message) << size;
  }
}

TEST(KorvexReassembly, SinglePacketsBetweenFragmentsAreDeliveredAtOnce) {
  const auto message = PatternMessage(200, 3);
  auto packets = PacketsOf(message);
  Receiver receiver;
  receiver.package.HandlePacket(packets[0]);
  receiver.package.HandlePacket({0x00, 0x01, 0x99});
  for (size_t i = 1; i < packets.size(); ++i) receiver.package.HandlePacket(packets[i]);
  ASSERT_EQ(receiver.delivered.messages.size(), 2u);
  EXPECT_EQ(receiver.delivered.messages[0], (std::vector<uint8_t>{0x99}));
  EXPECT_EQ(receiver.delivered.messages[1], message);
}

TEST(KorvexReassembly, AnnouncedLengthThatDiffersDropsTheMessage) {
  auto packets = PacketsOf(PatternMessage(130, 4));
  packets[0][4] += 1;
  Receiver receiver;
  receiver.Handle(packets);
  EXPECT_TRUE(receiver.delivered.messages.empty());
}

// Every packet kind cut short at every length: nothing is read beyond the
// packet, nothing is delivered, and the next message still goes through.
TEST(KorvexReassembly, TruncatedPacketsAreDropped) {
  const auto message = PatternMessage(200, 9);
  const auto packets = PacketsOf(message);
  std::vector<Packet> kinds = {packets[0], packets[1], packets.back(), PacketsOf(PatternMessage(40, 1))[0]};
  for (const auto& whole : kinds) {
    for (size_t cut = 0; cut < whole.size(); ++cut) {
      Receiver receiver;
      if (whole[0] == kContinuationPacket || whole[0] == kEndPacket) {
        receiver.package.HandlePacket(packets[0]);
        if (whole[0] == kEndPacket) receiver.package.HandlePacket(packets[1]);
      }
      receiver.package.HandlePacket(Packet(whole.begin(), whole.begin() + cut));
      EXPECT_TRUE(receiver.delivered.messages.empty()) << "kind " << int{whole[0]} << " cut at " << cut;
      receiver.Handle(packets);
      ASSERT_EQ(receiver.delivered.messages.size(), 1u);
      EXPECT_EQ(receiver.delivered.messages[0], message);
    }
  }
}

TEST(KorvexReassembly, LengthByteBeyondThePacketIsDropped) {
  Receiver receiver;
  receiver.package.HandlePacket({0x00, 0x05, 0x01, 0x02});
  receiver.package.HandlePacket({0x01, 0x00, 0x00, 0x00, 0x03});
  receiver.package.HandlePacket({0x03, 0x04, 0x01, 0x02, 0x03});
  receiver.package.HandlePacket({0x07, 0x00});
  EXPECT_TRUE(receiver.delivered.messages.empty());
}

TEST(KorvexStream, PaddedPacketsSplitAtEveryOffsetAreRejoined) {
  const auto first = PatternMessage(150, 11);
  const auto second = PatternMessage(20, 12);
  auto stream = PaddedStream(first);
  const auto tail = PaddedStream(second);
  stream.insert(stream.end(), tail.begin(), tail.end());
  for (size_t split = 0; split <= stream.size(); ++split) {
    Receiver receiver;
    receiver.package.OnReceived(std::vector<uint8_t>(stream.begin(), stream.begin() + split));
    receiver.package.OnReceived(std::vector<uint8_t>(stream.begin() + split, stream.end()));
    ASSERT_EQ(receiver.delivered.messages.size(), 2u) << "split at " << split;
    EXPECT_EQ(receiver.delivered.messages[0], first);
    EXPECT_EQ(receiver.delivered.messages[1], second);
  }
}

TEST(KorvexStream, BlockOf130BytesHandlesTwoPacketsAndKeepsTheRest) {
  auto stream = PaddedStream(PatternMessage(10, 1));
  const auto second = PaddedStream(PatternMessage(11, 2));
  const auto third = PaddedStream(PatternMessage(12, 3));
  stream.insert(stream.end(), second.begin(), second.end());
  stream.insert(stream.end(), third.begin(), third.end());
  Receiver receiver;
  receiver.package.OnReceived(std::vector<uint8_t>(stream.begin(), stream.begin() + 130));
  EXPECT_EQ(receiver.delivered.messages.size(), 2u);
  receiver.package.OnReceived(std::vector<uint8_t>(stream.begin() + 130, stream.end()));
  ASSERT_EQ(receiver.delivered.messages.size(), 3u);
  EXPECT_EQ(receiver.delivered.messages[2], PatternMessage(12, 3));
}

TEST(KorvexStream, DiscardingPartialInputRealignsANewStream) {
  const auto first = PaddedStream(PatternMessage(100, 1));
  const auto second = PaddedStream(PatternMessage(30, 2));
  Receiver receiver;
  receiver.package.OnReceived(std::vector<uint8_t>(first.begin(), first.begin() + 70));
  receiver.package.DiscardPartialInput();
  receiver.package.OnReceived(second);
  ASSERT_EQ(receiver.delivered.messages.size(), 1u);
  EXPECT_EQ(receiver.delivered.messages[0], PatternMessage(30, 2));
}

struct MisstepScenario {
  const char* name;
  // A block that leaves the stream out of step, and what it carries.
  std::vector<uint8_t> block;
  std::vector<std::vector<uint8_t>> carried;
};

void PrintTo(const MisstepScenario& c, std::ostream* out) { *out << c.name; }

std::vector<uint8_t> HeadOf(const std::vector<uint8_t>& bytes, size_t length) {
  return std::vector<uint8_t>(bytes.begin(), bytes.begin() + length);
}

class KorvexStreamRecovery : public ::testing::TestWithParam<MisstepScenario> {};

// After the block, every message comes in blocks of its own padded packets:
// none of them is lost, and nothing else is delivered.
TEST_P(KorvexStreamRecovery, FindsItsStepAgain) {
  std::vector<std::vector<uint8_t>> messages;
  for (uint32_t i = 0; i < 8; ++i) messages.push_back(PatternMessage(i % 2 == 0 ? 20 : 150, 40 + i));
  Receiver receiver;
  receiver.package.OnReceived(GetParam().block);
  for (const auto& message : messages) receiver.package.OnReceived(PaddedStream(message));

  const auto& delivered = receiver.delivered.messages;
  ASSERT_GE(delivered.size(), messages.size());
  EXPECT_TRUE(std::equal(messages.begin(), messages.end(), delivered.end() - messages.size())) << "messages lost";
  auto expected = GetParam().carried;
  expected.insert(expected.end(), messages.begin(), messages.end());
  for (const auto& message : delivered) {
    EXPECT_TRUE(std::find(expected.begin(), expected.end(), message) != expected.end())
        << "a message of " << message.size() << " bytes out of step";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, KorvexStreamRecovery,
    ::testing::Values(MisstepScenario{"UnpaddedShortPacket", {0x00, 0x03, 0x41, 0x42, 0x43}, {{0x41, 0x42, 0x43}}},
                      MisstepScenario{"UnpaddedEndPacket", {0x03, 0x02, 0x41, 0x42}, {}},
                      MisstepScenario{"ShortGarbage", std::vector<uint8_t>(10, 0xFF), {}},
                      MisstepScenario{"LongGarbage", std::vector<uint8_t>(100, 0xEE), {}},
                      MisstepScenario{"HeadOfAStartPacket", HeadOf(PaddedStream(PatternMessage(100, 5)), 30), {}},
                      MisstepScenario{"TailOfAPacket", std::vector<uint8_t>(20, 0x00), {}}),
    [](const auto& info) { return info.param.name; });

// Random message sizes through Send and back through OnReceived in blocks cut
// at random points.
TEST(KorvexStream, RoundTripsMessagesOfRandomSizeThroughRandomBlocks) {
  std::mt19937 random(2024);
  for (int round = 0; round < 200; ++round) {
    const size_t length = round < 100 ? random() % 400 : random() % 70000;
    const auto message = PatternMessage(length, round);
    KorvexCommunicationPackage sender;
    RecordingWriter writer;
    sender.Send(message, writer.Writer(), nullptr);
    auto stream = PaddedStream(message);
    Receiver receiver;
    for (size_t position = 0; position < stream.size();) {
      const size_t block = std::min<size_t>(stream.size() - position, 1 + random() % 9000);
      receiver.package.OnReceived(std::vector<uint8_t>(stream.begin() + position, stream.begin() + position + block));
      position += block;
    }
    ASSERT_EQ(receiver.delivered.messages.size(), 1u) << "length " << length;
    EXPECT_EQ(receiver.delivered.messages[0], message) << "length " << length;
    // The sent stream is exactly the packets, unpadded.
    std::vector<uint8_t> unpadded;
    for (const auto& packet : PacketsOf(message)) unpadded.insert(unpadded.end(), packet.begin(), packet.end());
    EXPECT_EQ(writer.stream, unpadded);
  }
}

TEST(KorvexSend, ReportsProgressPerPacket) {
  KorvexCommunicationPackage package;
  RecordingWriter writer;
  std::vector<double> progress;
  package.Send(PatternMessage(182, 1), writer.Writer(), [&](double fraction) { progress.push_back(fraction); });
  EXPECT_EQ(progress, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
}

TEST(KorvexSend, FirstFailedWriteEndsTheMessage) {
  KorvexCommunicationPackage package;
  int writes = 0;
  int progressCalls = 0;
  package.Send(PatternMessage(100000, 1), [&](uint8_t*, unsigned) { return ++writes == 2 ? 255 : 0; },
               [&](double) { ++progressCalls; });
  EXPECT_EQ(writes, 2);
  EXPECT_EQ(progressCalls, 256) << "progress covers only the packets written";
}

TEST(KorvexSend, EmptyWriterStillReportsProgress) {
  KorvexCommunicationPackage package;
  int calls = 0;
  package.Send(PatternMessage(10, 1), nullptr, [&](double) { ++calls; });
  EXPECT_EQ(calls, 1);
}

// Writes that yield between calls give a second sender every chance to cut in.
TEST(KorvexSend, MessagesOfConcurrentSendersDoNotInterleave) {
  KorvexCommunicationPackage package;
  RecordingWriter writer;
  auto inner = writer.Writer();
  auto slowWriter = [&](uint8_t* data, unsigned length) {
    std::this_thread::yield();
    return inner(data, length);
  };
  std::vector<std::vector<uint8_t>> messages;
  for (int i = 0; i < 4; ++i) messages.push_back(PatternMessage(40000 + i, 100 + i));
  std::vector<std::thread> senders;
  for (const auto& message : messages) {
    senders.emplace_back([&package, &message, &slowWriter] {
      for (int repeat = 0; repeat < 5; ++repeat) package.Send(message, slowWriter, nullptr);
    });
  }
  for (auto& sender : senders) sender.join();
  std::vector<Packet> packets;
  for (size_t position = 0; position < writer.stream.size();) {
    const uint8_t kind = writer.stream[position];
    const size_t length = kind == kEndPacket || kind == kSinglePacket ? 2 + writer.stream[position + 1] : 64;
    packets.emplace_back(writer.stream.begin() + position, writer.stream.begin() + position + length);
    position += length;
  }
  Receiver receiver;
  receiver.Handle(packets);
  ASSERT_EQ(receiver.delivered.messages.size(), 20u);
  for (const auto& delivered : receiver.delivered.messages) {
    EXPECT_NE(std::find(messages.begin(), messages.end(), delivered), messages.end());
  }
}

// A nested message of several packets cannot go between the outer packets:
// it follows the outer message.
TEST(KorvexSend, ProgressCallbackMaySendAgainWithoutDeadlock) {
  KorvexCommunicationPackage package;
  RecordingWriter writer;
  const auto outer = PatternMessage(20000, 1);
  const auto nested = PatternMessage(500, 2);
  bool sentNested = false;
  package.Send(outer, writer.Writer(), [&](double) {
    if (sentNested) return;
    sentNested = true;
    package.Send(nested, writer.Writer(), nullptr);
  });
  std::vector<uint8_t> expected;
  for (const auto* message : {&outer, &nested}) {
    for (const auto& packet : PacketsOf(*message)) expected.insert(expected.end(), packet.begin(), packet.end());
  }
  EXPECT_EQ(writer.stream, expected);
}

// A callback that sends a command and waits for the reply needs the command
// out before the outer message ends.
TEST(KorvexSend, ProgressCallbackSinglePacketMessageGoesOutAtOnce) {
  KorvexCommunicationPackage package;
  RecordingWriter writer;
  const auto outer = PatternMessage(20000, 1);
  const auto nested = PatternMessage(40, 2);
  bool sentNested = false;
  package.Send(outer, writer.Writer(), [&](double) {
    if (sentNested) return;
    sentNested = true;
    package.Send(nested, writer.Writer(), nullptr);
  });
  const auto outerPackets = PacketsOf(outer);
  ASSERT_EQ(writer.writes.size(), 3u);
  EXPECT_EQ(writer.writes[0], 256u * 64u);
  EXPECT_EQ(writer.writes[1], 2u + nested.size());
  std::vector<Packet> sent(outerPackets.begin(), outerPackets.begin() + 256);
  sent.push_back(PacketsOf(nested)[0]);
  sent.insert(sent.end(), outerPackets.begin() + 256, outerPackets.end());
  std::vector<uint8_t> expected;
  for (const auto& packet : sent) expected.insert(expected.end(), packet.begin(), packet.end());
  EXPECT_EQ(writer.stream, expected);

  Receiver receiver;
  receiver.Handle(sent);
  EXPECT_EQ(receiver.delivered.messages, (std::vector<std::vector<uint8_t>>{nested, outer}));
}

}  // namespace
}  // namespace quorlan
