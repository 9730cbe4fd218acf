#include "quorlan/transport/serial_communication_package.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "reader_side_frames.h"

namespace quorlan {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::ChunkLimitFrame;
using testing::HostFrame;
using testing::MessageFrame;
using testing::ParseHostFrames;
using testing::ReaderFrame;

Bytes Counting(size_t count, uint8_t skipAbove = 0xBF) {
  Bytes bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(i % (skipAbove + 1u));
  return bytes;
}

// Everything a Send wrote and reported.
struct SendRecord {
  std::vector<Bytes> writes;
  std::vector<double> progress;

  Bytes Wire() const {
    Bytes all;
    for (const Bytes& write : writes) all.insert(all.end(), write.begin(), write.end());
    return all;
  }
};

SendRecord Send(SerialCommunicationPackage& package, const Bytes& message, int writeResult = 0) {
  SendRecord record;
  package.Send(
      message,
      [&](uint8_t* data, unsigned length) {
        record.writes.emplace_back(data, data + length);
        return writeResult;
      },
      [&](double fraction) { record.progress.push_back(fraction); });
  return record;
}

struct Received {
  std::vector<Bytes> messages;
  explicit Received(SerialCommunicationPackage& package) {
    package.SetReceiveCallback([this](Bytes message) { messages.push_back(std::move(message)); });
  }
};

TEST(SerialPackageSend, WritesAShortMessageAsOneStuffedFrame) {
  SerialCommunicationPackage package;
  SendRecord record = Send(package, {0x01, 0xC0, 0x02});
  ASSERT_EQ(record.writes.size(), 1u);
  EXPECT_EQ(record.writes[0], (Bytes{0xC0, 0x00, 0x00, 0x00, 0x00, 0x03, 0x01, 0xDB, 0xDC, 0x02, 0xC0}));
  EXPECT_EQ(record.progress, std::vector<double>{1.0});
}

TEST(SerialPackageSend, WritesALongFrameInPiecesOf1024Bytes) {
  SerialCommunicationPackage package;
  Bytes message = Counting(3000);
  SendRecord record = Send(package, message);
  ASSERT_EQ(record.writes.size(), 3u);
  EXPECT_EQ(record.writes[0].size(), 1024u);
  EXPECT_EQ(record.writes[1].size(), 1024u);
  EXPECT_EQ(record.writes[2].size(), 959u);
  ASSERT_EQ(record.progress.size(), 3u);
  EXPECT_DOUBLE_EQ(record.progress[0], 1.0 / 3);
  EXPECT_DOUBLE_EQ(record.progress[1], 2.0 / 3);
  EXPECT_EQ(record.progress[2], 1.0);
  std::vector<HostFrame> frames;
  ASSERT_TRUE(ParseHostFrames(record.Wire(), &frames));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].kind, 0x00);
  EXPECT_EQ(frames[0].bytes, message);
}

TEST(SerialPackageSend, CutsPiecesOfTheStuffedFrameEvenInsideAnEscape) {
  SerialCommunicationPackage package;
  Bytes message(600, 0xC0);
  SendRecord record = Send(package, message);
  ASSERT_EQ(record.writes.size(), 2u);
  EXPECT_EQ(record.writes[0].size(), 1024u);
  EXPECT_EQ(record.writes[1].size(), 1207u - 1024u);
  std::vector<HostFrame> frames;
  ASSERT_TRUE(ParseHostFrames(record.Wire(), &frames));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes, message);
}

TEST(SerialPackageSend, FollowsTheReadersChunkLimitWithProgressOverAllFrames) {
  SerialCommunicationPackage package;
  package.OnReceived(ChunkLimitFrame(1000));
  ASSERT_EQ(package.ChunkLimit(), 1000);
  Bytes message = Counting(2500);
  SendRecord record = Send(package, message);
  std::vector<HostFrame> frames;
  ASSERT_TRUE(ParseHostFrames(record.Wire(), &frames));
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].length, 1000u);
  EXPECT_EQ(frames[1].length, 1000u);
  EXPECT_EQ(frames[2].length, 500u);
  Bytes joined;
  for (const HostFrame& frame : frames) joined.insert(joined.end(), frame.bytes.begin(), frame.bytes.end());
  EXPECT_EQ(joined, message);
  ASSERT_EQ(record.progress.size(), record.writes.size());
  for (size_t i = 1; i < record.progress.size(); ++i) EXPECT_GT(record.progress[i], record.progress[i - 1]);
  EXPECT_EQ(record.progress.back(), 1.0);
}

TEST(SerialPackageSend, KeepsTheLimitAMessageStartedWith) {
  SerialCommunicationPackage package;
  package.OnReceived(ChunkLimitFrame(1000));
  Bytes message = Counting(2500);
  Bytes wire;
  package.Send(
      message,
      [&](uint8_t* data, unsigned length) {
        if (wire.empty()) package.OnReceived(ChunkLimitFrame(100));
        wire.insert(wire.end(), data, data + length);
        return 0;
      },
      nullptr);
  std::vector<HostFrame> frames;
  ASSERT_TRUE(ParseHostFrames(wire, &frames));
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].length, 1000u);
  EXPECT_EQ(package.ChunkLimit(), 100);
  EXPECT_EQ(Send(package, Counting(250)).writes.size(), 3u);
}

TEST(SerialPackageSend, StopsAtTheFirstFailedWrite) {
  SerialCommunicationPackage package;
  EXPECT_EQ(Send(package, Counting(3000), 255).writes.size(), 1u);
}

TEST(SerialPackageSend, WritesNothingForAnEmptyMessage) {
  SerialCommunicationPackage package;
  SendRecord record = Send(package, {});
  EXPECT_TRUE(record.writes.empty());
  EXPECT_TRUE(record.progress.empty());
}

TEST(SerialPackageSend, NeedsAWriterButNoProgress) {
  SerialCommunicationPackage package;
  EXPECT_THROW(package.Send({0x01}, nullptr, nullptr), std::bad_function_call);
  unsigned writes = 0;
  package.Send({0x01}, [&](uint8_t*, unsigned) { return ++writes, 0; }, nullptr);
  EXPECT_EQ(writes, 1u);
}

TEST(SerialPackageChunkLimit, TakesOnlyLimitsThatLetSendAdvance) {
  const struct {
    uint32_t announced;
    int32_t kept;
  } cases[] = {
      {1, 1},
      {1000, 1000},
      {0x7FFFFFFF, 0x7FFFFFFF},
      {0, SerialCommunicationPackage::kDefaultChunkLimit},
      {0x80000000u, SerialCommunicationPackage::kDefaultChunkLimit},
      {0xFFFFFFFFu, SerialCommunicationPackage::kDefaultChunkLimit},
  };
  for (const auto& c : cases) {
    SerialCommunicationPackage package;
    package.OnReceived(ChunkLimitFrame(c.announced));
    EXPECT_EQ(package.ChunkLimit(), c.kept) << c.announced;
    Bytes message = Counting(5);
    std::vector<HostFrame> frames;
    ASSERT_TRUE(ParseHostFrames(Send(package, message).Wire(), &frames));
    Bytes joined;
    for (const HostFrame& frame : frames) joined.insert(joined.end(), frame.bytes.begin(), frame.bytes.end());
    EXPECT_EQ(joined, message);
  }
}

TEST(SerialPackageChunkLimit, KeepsTheLimitWhenTheFrameCarriesNoFurtherByte) {
  SerialCommunicationPackage package;
  package.OnReceived({0xC0, 0x03, 0x00, 0x00, 0x03, 0xE8, 0xC0});
  EXPECT_EQ(package.ChunkLimit(), SerialCommunicationPackage::kDefaultChunkLimit);
}

TEST(SerialPackageReceive, DeliversAMessageFrame) {
  SerialCommunicationPackage package;
  Received received(package);
  package.OnReceived(MessageFrame({0xAA, 0x00, 0x81, 0x01, 0x02}));
  ASSERT_EQ(received.messages.size(), 1u);
  EXPECT_EQ(received.messages[0], (Bytes{0xAA, 0x00, 0x81, 0x01, 0x02}));
}

TEST(SerialPackageReceive, UndoesEveryEscape) {
  SerialCommunicationPackage package;
  Received received(package);
  Bytes message{0xC0, 0xDB, 0x11, 0x13, 0x0D, 0xDC, 0xDD, 0xDE, 0xDF};
  package.OnReceived(MessageFrame(message));
  ASSERT_EQ(received.messages.size(), 1u);
  EXPECT_EQ(received.messages[0], message);
}

TEST(SerialPackageReceive, DeliversAFrameSplitAtAnyPoint) {
  Bytes message{0x01, 0xC0, 0x11, 0xDB, 0x13, 0x02};
  Bytes wire = MessageFrame(message);
  for (size_t split = 0; split <= wire.size(); ++split) {
    SerialCommunicationPackage package;
    Received received(package);
    package.OnReceived(Bytes(wire.begin(), wire.begin() + split));
    EXPECT_EQ(received.messages.size(), split == wire.size() ? 1u : 0u) << split;
    package.OnReceived(Bytes(wire.begin() + split, wire.end()));
    ASSERT_EQ(received.messages.size(), 1u) << split;
    EXPECT_EQ(received.messages[0], message);
  }
}

TEST(SerialPackageReceive, DeliversFramesArrivingByteByByte) {
  SerialCommunicationPackage package;
  Received received(package);
  Bytes wire = MessageFrame({0x10, 0x20});
  Bytes second = MessageFrame({0x30});
  wire.insert(wire.end(), second.begin(), second.end());
  for (uint8_t byte : wire) package.OnReceived({byte});
  ASSERT_EQ(received.messages.size(), 2u);
  EXPECT_EQ(received.messages[0], (Bytes{0x10, 0x20}));
  EXPECT_EQ(received.messages[1], (Bytes{0x30}));
}

// Each block used to search the open frame again from its start, so a large
// frame in small blocks took time growing with the square of its size (here
// minutes instead of well under a second).
TEST(SerialPackageReceive, ReadsALargeFrameInSmallBlocksInLinearTime) {
  SerialCommunicationPackage package;
  Received received(package);
  const Bytes message = Counting(8 << 20);
  const Bytes wire = MessageFrame(message);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (size_t at = 0; at < wire.size(); at += 64) {
    package.OnReceived(Bytes(wire.begin() + at, wire.begin() + std::min(wire.size(), at + 64)));
    if ((at & 0xFFFF) == 0) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "at byte " << at;
    }
  }
  ASSERT_EQ(received.messages.size(), 1u);
  EXPECT_EQ(received.messages[0], message);
}

TEST(SerialPackageReceive, FindsEveryFrameOfOneBlock) {
  const Bytes a = MessageFrame({0x0A});
  const Bytes b = MessageFrame({0x0B});
  Bytes separate = a;
  separate.insert(separate.end(), b.begin(), b.end());
  Bytes sharedDelimiter = a;
  sharedDelimiter.insert(sharedDelimiter.end(), b.begin() + 1, b.end());
  Bytes withNoise{0x55, 0x66};
  withNoise.insert(withNoise.end(), a.begin(), a.end());
  withNoise.insert(withNoise.end(), {0x77, 0x88});
  withNoise.insert(withNoise.end(), b.begin(), b.end());
  for (const Bytes& block : {separate, sharedDelimiter, withNoise}) {
    SerialCommunicationPackage package;
    Received received(package);
    package.OnReceived(block);
    ASSERT_EQ(received.messages.size(), 2u);
    EXPECT_EQ(received.messages[0], Bytes{0x0A});
    EXPECT_EQ(received.messages[1], Bytes{0x0B});
  }
}

TEST(SerialPackageReceive, DropsGarbledFramesAndFindsTheNextOne) {
  const Bytes garbled[] = {
      ReaderFrame(0x02, 4, {0x01, 0x02, 0x03}),         // fewer bytes than announced
      ReaderFrame(0x02, 2, {0x01, 0x02, 0x03}),         // more bytes than announced
      ReaderFrame(0x02, 0, {}),                         // no message at all
      ReaderFrame(0x00, 3, {0x01, 0x02, 0x03}),         // the host's own kind
      ReaderFrame(0x04, 3, {0x01, 0x02, 0x03}),         // unknown kind
      {0xC0, 0x02, 0x00, 0x00, 0xC0},                   // cut short
      {0xC0, 0xDB, 0xC0},                               // only an escape
  };
  for (const Bytes& bad : garbled) {
    SerialCommunicationPackage package;
    Received received(package);
    Bytes block = bad;
    Bytes good = MessageFrame({0x42});
    block.insert(block.end(), good.begin(), good.end());
    package.OnReceived(block);
    ASSERT_EQ(received.messages.size(), 1u);
    EXPECT_EQ(received.messages[0], Bytes{0x42});
    EXPECT_EQ(package.ChunkLimit(), SerialCommunicationPackage::kDefaultChunkLimit);
  }
}

TEST(SerialPackageReceive, DropsMessagesWhileNoCallbackIsSet) {
  SerialCommunicationPackage package;
  package.OnReceived(MessageFrame({0x01}));
  Received received(package);
  package.OnReceived(MessageFrame({0x02}));
  ASSERT_EQ(received.messages.size(), 1u);
  EXPECT_EQ(received.messages[0], Bytes{0x02});
}

TEST(SerialPackageReceive, CarriesWhatItSendsWhenTheKindIsAMessage) {
  SerialCommunicationPackage sender;
  SerialCommunicationPackage receiver;
  Received received(receiver);
  Bytes message;
  for (int value = 0; value < 256; ++value) message.push_back(static_cast<uint8_t>(value));
  Bytes wire = Send(sender, message).Wire();
  wire[1] = 0x02;  // the reader answers with the message kind
  receiver.OnReceived(wire);
  ASSERT_EQ(received.messages.size(), 1u);
  EXPECT_EQ(received.messages[0], message);
}

}  // namespace
}  // namespace quorlan
