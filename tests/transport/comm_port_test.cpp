#include "quorlan/transport/comm_port.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "pseudo_terminal.h"

namespace quorlan {
namespace {

using testing::LineState;
using testing::PseudoTerminal;
using Bytes = std::vector<uint8_t>;

platform::SerialPortResolver To(const std::string& path) {
  return [path](int) { return path; };
}

Bytes ReadUntil(CommPort& port, size_t count) {
  Bytes bytes;
  for (int tries = 0; tries < 50 && bytes.size() < count; ++tries) {
    uint8_t buffer[300];
    unsigned length = sizeof buffer;
    if (port.ReadAvailable(buffer, &length) == kConnectionOk) bytes.insert(bytes.end(), buffer, buffer + length);
  }
  return bytes;
}

Bytes EveryByteValue() {
  Bytes bytes;
  for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<uint8_t>(value));
  return bytes;
}

TEST(CommPort, AsksTheResolverForThePortNumber) {
  std::vector<int> asked;
  CommPort port("SERIAL://PORT=COM7", [&](int number) {
    asked.push_back(number);
    return std::string("/dev/reader7");
  });
  EXPECT_EQ(asked, std::vector<int>{7});
  EXPECT_EQ(port.PortName(), "/dev/reader7");
  EXPECT_EQ(port.Settings().portNumber, 7);
}

TEST(CommPort, ConstructionFailsForBadParityOrStopBits) {
  EXPECT_THROW(CommPort("PORT=COM1,PARITY=X"), InvalidConnectionString);
  EXPECT_THROW(CommPort("PORT=COM1,STOPBITS=3"), InvalidConnectionString);
}

TEST(CommPort, OpensWithTheSettingsOfItsConnectionString) {
  PseudoTerminal terminal;
  CommPort port("serial://port=com3,baudrate=115200,parity=e,databits=7,stopbits=2", To(terminal.DevicePath()));
  EXPECT_FALSE(port.IsConnected());
  ASSERT_EQ(port.Open(), kConnectionOk);
  EXPECT_TRUE(port.IsConnected());
  LineState state = terminal.DeviceLineState();
  EXPECT_EQ(state.baudRate, 115200);
  EXPECT_TRUE(state.twoStopBits);
  EXPECT_TRUE(state.raw);
}

TEST(CommPort, KeepsThePortsOwnSettingsWhenTheBaudRateIsNoNumber) {
  PseudoTerminal terminal;
  terminal.SetCookedLine(19200);
  CommPort port("PORT=COM3,BAUDRATE=fast,STOPBITS=1", To(terminal.DevicePath()));
  ASSERT_EQ(port.Open(), kConnectionOk);
  LineState state = terminal.DeviceLineState();
  EXPECT_EQ(state.baudRate, 19200);
  EXPECT_TRUE(state.twoStopBits);
  EXPECT_TRUE(state.raw);
}

TEST(CommPort, OpenFailsForAMissingPort) {
  CommPort missing("PORT=COM3", To("/dev/no-such-reader"));
  CommPort comZero("PORT=4");
  CommPort noResolver("PORT=COM3", nullptr);
  for (CommPort* port : {&missing, &comZero, &noResolver}) {
    EXPECT_EQ(port->Open(), kConnectionFailed);
    EXPECT_FALSE(port->IsConnected());
  }
}

TEST(CommPort, OpenFailsWhileThePortIsInUse) {
  PseudoTerminal terminal;
  CommPort first("PORT=COM3", To(terminal.DevicePath()));
  CommPort second("PORT=COM3", To(terminal.DevicePath()));
  ASSERT_EQ(first.Open(), kConnectionOk);
  EXPECT_EQ(second.Open(), kConnectionFailed);
  EXPECT_FALSE(second.IsConnected());
  EXPECT_EQ(first.Open(), kConnectionFailed);
  EXPECT_TRUE(first.IsConnected());
  EXPECT_EQ(first.Close(), kConnectionOk);
  EXPECT_EQ(second.Open(), kConnectionOk);
}

TEST(CommPort, RefusedSettingsLeaveThePortClosedAndFree) {
  PseudoTerminal terminal;
  for (const char* text : {"PORT=COM3,BAUDRATE=12345", "PORT=COM3,DATABITS=9", "PORT=COM3,STOPBITS=1.5"}) {
    CommPort refused(text, To(terminal.DevicePath()));
    EXPECT_EQ(refused.Open(), kConnectionFailed) << text;
    EXPECT_FALSE(refused.IsConnected());
  }
  CommPort next("PORT=COM3", To(terminal.DevicePath()));
  EXPECT_EQ(next.Open(), kConnectionOk);
}

TEST(CommPort, CarriesEveryByteValueBothWays) {
  PseudoTerminal terminal;
  CommPort port("PORT=COM3,BAUDRATE=115200", To(terminal.DevicePath()));
  ASSERT_EQ(port.Open(), kConnectionOk);
  const Bytes bytes = EveryByteValue();
  ASSERT_EQ(port.Write(bytes.data(), static_cast<unsigned>(bytes.size())), kConnectionOk);
  EXPECT_EQ(terminal.Receive(bytes.size()), bytes);
  terminal.Send(bytes);
  EXPECT_EQ(ReadUntil(port, bytes.size()), bytes);
}

TEST(CommPort, ReadAvailableTakesAtMostWhatWasAskedFor) {
  PseudoTerminal terminal;
  CommPort port("PORT=COM3", To(terminal.DevicePath()));
  ASSERT_EQ(port.Open(), kConnectionOk);
  terminal.Send({1, 2, 3, 4, 5});
  uint8_t buffer[8] = {};
  unsigned length = 2;
  ASSERT_EQ(port.ReadAvailable(buffer, &length), kConnectionOk);
  EXPECT_EQ(length, 2u);
  EXPECT_EQ(Bytes(buffer, buffer + 2), (Bytes{1, 2}));
  EXPECT_EQ(ReadUntil(port, 3), (Bytes{3, 4, 5}));
}

TEST(CommPort, ReadAvailableFailsWhenNothingArrives) {
  PseudoTerminal terminal;
  CommPort port("PORT=COM3", To(terminal.DevicePath()));
  ASSERT_EQ(port.Open(), kConnectionOk);
  uint8_t buffer[8];
  unsigned length = sizeof buffer;
  EXPECT_EQ(port.ReadAvailable(buffer, &length), kConnectionFailed);
  EXPECT_EQ(length, 0u);
}

TEST(CommPort, WrittenBytesAreNotDiscardedByAnImmediateClose) {
  PseudoTerminal terminal;
  CommPort port("PORT=COM3", To(terminal.DevicePath()));
  ASSERT_EQ(port.Open(), kConnectionOk);
  // More than the other side takes in before it reads, and it starts reading
  // late: the rest is still on its way when the write is done.
  Bytes bytes(8000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 13);
  Bytes arrived;
  std::thread reader([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    arrived = terminal.Receive(bytes.size());
  });
  EXPECT_EQ(port.Write(bytes.data(), static_cast<unsigned>(bytes.size())), kConnectionOk);
  EXPECT_EQ(port.Close(), kConnectionOk);
  reader.join();
  EXPECT_EQ(arrived, bytes);
}

TEST(CommPort, EveryOperationFailsWhileClosed) {
  PseudoTerminal terminal;
  CommPort port("PORT=COM3", To(terminal.DevicePath()));
  uint8_t byte = 0x42;
  unsigned length = 1;
  EXPECT_EQ(port.Write(&byte, 1), kConnectionFailed);
  EXPECT_EQ(port.ReadAvailable(&byte, &length), kConnectionFailed);
  ASSERT_EQ(port.Open(), kConnectionOk);
  EXPECT_EQ(port.Close(), kConnectionOk);
  EXPECT_EQ(port.Close(), kConnectionOk);
  EXPECT_FALSE(port.IsConnected());
  length = 1;
  EXPECT_EQ(port.Write(&byte, 1), kConnectionFailed);
  EXPECT_EQ(port.ReadAvailable(&byte, &length), kConnectionFailed);
  EXPECT_EQ(length, 0u);
}

TEST(CommPort, DestructionReleasesThePort) {
  PseudoTerminal terminal;
  {
    CommPort port("PORT=COM3", To(terminal.DevicePath()));
    ASSERT_EQ(port.Open(), kConnectionOk);
  }
  CommPort next("PORT=COM3", To(terminal.DevicePath()));
  EXPECT_EQ(next.Open(), kConnectionOk);
}

}  // namespace
}  // namespace quorlan
