// The serial package over a real port: the test plays the reader on the
// other side of a pseudo-terminal.
#include <gtest/gtest.h>

#include "eventually.h"
#include "pseudo_terminal.h"
#include "reader_side_frames.h"
#include "quorlan/transport/comm_port.h"
#include "quorlan/transport/serial_communication_package.h"

namespace quorlan {
namespace {

using Bytes = std::vector<uint8_t>;
using test_support::Eventually;
using testing::ChunkLimitFrame;
using testing::HostFrame;
using testing::MessageFrame;
using testing::ParseHostFrames;
using testing::PseudoTerminal;

class SerialLink : public ::testing::Test {
 protected:
  SerialLink() : port_("SERIAL://PORT=COM1,BAUDRATE=115200", [this](int) { return terminal_.DevicePath(); }) {
    package_.SetReceiveCallback([this](Bytes message) { received_.push_back(std::move(message)); });
  }

  void SetUp() override { ASSERT_EQ(port_.Open(), kConnectionOk); }

  void Send(const Bytes& message) {
    package_.Send(message, [this](uint8_t* data, unsigned length) { return port_.Write(data, length); }, nullptr);
  }

  // Polls the port into the package, as a caller of the connection does.
  bool PumpUntil(size_t messages) {
    return Eventually([&] {
      uint8_t buffer[512];
      unsigned length = sizeof buffer;
      if (port_.ReadAvailable(buffer, &length) == kConnectionOk) package_.OnReceived(Bytes(buffer, buffer + length));
      return received_.size() >= messages;
    });
  }

  std::vector<HostFrame> ReaderReceives(size_t wireBytes) {
    std::vector<HostFrame> frames;
    EXPECT_TRUE(ParseHostFrames(terminal_.Receive(wireBytes), &frames));
    return frames;
  }

  PseudoTerminal terminal_;
  CommPort port_;
  SerialCommunicationPackage package_;
  std::vector<Bytes> received_;
};

Bytes EveryByteValueTwice() {
  Bytes bytes;
  for (int round = 0; round < 2; ++round) {
    for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<uint8_t>(value));
  }
  return bytes;
}

size_t StuffedSize(const Bytes& content) {
  size_t size = 2;
  for (uint8_t byte : content) size += (byte == 0xC0 || byte == 0xDB) ? 2 : 1;
  return size;
}

TEST_F(SerialLink, CarriesAMessageToTheReader) {
  const Bytes message = EveryByteValueTwice();
  Send(message);
  auto frames = ReaderReceives(StuffedSize(message) + 5);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].kind, 0x00);
  EXPECT_EQ(frames[0].bytes, message);
}

TEST_F(SerialLink, CarriesMessagesFromTheReader) {
  const Bytes first = EveryByteValueTwice();
  const Bytes second{0x0D, 0x11, 0x13, 0xC0, 0xDB};
  Bytes wire = MessageFrame(first);
  Bytes more = MessageFrame(second);
  wire.insert(wire.end(), more.begin(), more.end());
  terminal_.Send(wire);
  ASSERT_TRUE(PumpUntil(2));
  ASSERT_EQ(received_.size(), 2u);
  EXPECT_EQ(received_[0], first);
  EXPECT_EQ(received_[1], second);
}

TEST_F(SerialLink, SendsInTheChunksTheReaderAsksFor) {
  terminal_.Send(ChunkLimitFrame(200));
  terminal_.Send(MessageFrame({0x55}));
  ASSERT_TRUE(PumpUntil(1));
  ASSERT_EQ(package_.ChunkLimit(), 200);
  const Bytes message = EveryByteValueTwice();
  Send(message);
  auto frames = ReaderReceives(StuffedSize(message) - 2 + 3 * 7);
  ASSERT_EQ(frames.size(), 3u);
  Bytes joined;
  for (const HostFrame& frame : frames) joined.insert(joined.end(), frame.bytes.begin(), frame.bytes.end());
  EXPECT_EQ(frames[0].length, 200u);
  EXPECT_EQ(frames[2].length, 112u);
  EXPECT_EQ(joined, message);
}

}  // namespace
}  // namespace quorlan
