#include "platform/serial_port.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "pseudo_terminal.h"

namespace quorlan {
namespace platform {
namespace {

using testing::LineState;
using testing::PseudoTerminal;

std::vector<uint8_t> EveryByteValue() {
  std::vector<uint8_t> bytes(256);
  for (int i = 0; i < 256; ++i) bytes[i] = static_cast<uint8_t>(i);
  return bytes;
}

std::vector<uint8_t> ReadFor(SerialPort& port, size_t count) {
  std::vector<uint8_t> bytes;
  for (int tries = 0; tries < 100 && bytes.size() < count; ++tries) {
    uint8_t buffer[512];
    int read = port.Read(buffer, sizeof buffer, 50);
    if (read < 0) break;
    bytes.insert(bytes.end(), buffer, buffer + read);
  }
  return bytes;
}

TEST(SystemSerialPortPath, NamesTheSystemsPortsFromOne) {
  const struct {
    int number;
    const char* path;
  } cases[] = {{1, "/dev/ttyS0"}, {4, "/dev/ttyS3"}, {12, "/dev/ttyS11"}, {0, ""}, {-3, ""}};
  for (const auto& c : cases) EXPECT_EQ(SystemSerialPortPath(c.number), c.path) << c.number;
}

// A pseudo-terminal holds speed and stop bits but always has 8 data bits
// and no parity; the mapping of those is checked on termios itself.
TEST(SerialPort, OpensRawAndKeepsTheLineSettings) {
  PseudoTerminal terminal;
  terminal.SetCookedLine(19200);
  ASSERT_FALSE(terminal.DeviceLineState().raw);
  auto port = SerialPort::Open(terminal.DevicePath());
  ASSERT_NE(port, nullptr);
  LineState state = terminal.DeviceLineState();
  EXPECT_TRUE(state.raw);
  EXPECT_EQ(state.baudRate, 19200);
  EXPECT_TRUE(state.twoStopBits);
}

TEST(SerialPort, RefusesWhatIsNoSerialPort) {
  const std::string file = ::testing::TempDir() + "serial_port_test_plain_file";
  std::ofstream(file) << "not a port";
  for (const std::string& path : {std::string(), std::string("/dev/no-such-port"), std::string("/dev/null"), file}) {
    EXPECT_EQ(SerialPort::Open(path), nullptr) << path;
  }
  std::remove(file.c_str());
}

TEST(SerialPort, IsExclusiveUntilClosed) {
  PseudoTerminal terminal;
  auto first = SerialPort::Open(terminal.DevicePath());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(SerialPort::Open(terminal.DevicePath()), nullptr);
  first.reset();
  EXPECT_NE(SerialPort::Open(terminal.DevicePath()), nullptr);
}

TEST(SerialPort, AppliesLineSettings) {
  const struct {
    SerialLineSettings settings;
    bool twoStopBits;
  } cases[] = {
      {{9600, 0, 8, 0}, false},   {{115200, 2, 7, 2}, true}, {{57600, 1, 8, 0}, false},
      {{1200, 3, 6, 2}, true},    {{230400, 4, 8, 0}, false}, {{38400, 0, 5, 1}, true},
  };
  for (const auto& c : cases) {
    PseudoTerminal terminal;
    auto port = SerialPort::Open(terminal.DevicePath());
    ASSERT_NE(port, nullptr);
    ASSERT_TRUE(port->Configure(c.settings)) << c.settings.baudRate;
    LineState state = terminal.DeviceLineState();
    EXPECT_EQ(state.baudRate, c.settings.baudRate);
    EXPECT_EQ(state.twoStopBits, c.twoStopBits) << c.settings.baudRate;
    EXPECT_TRUE(state.raw);
  }
}

TEST(SerialPort, RefusesSettingsNoLineCanHaveAndKeepsItsOwn) {
  PseudoTerminal terminal;
  terminal.SetCookedLine(19200);
  auto port = SerialPort::Open(terminal.DevicePath());
  ASSERT_NE(port, nullptr);
  EXPECT_FALSE(port->Configure({12345, 0, 8, 0}));
  EXPECT_FALSE(port->Configure({115200, 0, 8, 1}));
  LineState state = terminal.DeviceLineState();
  EXPECT_EQ(state.baudRate, 19200);
  EXPECT_TRUE(state.twoStopBits);
}

TEST(SerialPort, CarriesEveryByteValueBothWays) {
  PseudoTerminal terminal;
  auto port = SerialPort::Open(terminal.DevicePath());
  ASSERT_NE(port, nullptr);
  const std::vector<uint8_t> bytes = EveryByteValue();
  ASSERT_TRUE(port->Write(bytes.data(), static_cast<unsigned>(bytes.size())));
  EXPECT_EQ(terminal.Receive(bytes.size()), bytes);
  terminal.Send(bytes);
  EXPECT_EQ(ReadFor(*port, bytes.size()), bytes);
}

TEST(SerialPort, WrittenBytesSurviveAnImmediateClose) {
  PseudoTerminal terminal;
  auto port = SerialPort::Open(terminal.DevicePath());
  ASSERT_NE(port, nullptr);
  std::vector<uint8_t> bytes(3000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 31);
  ASSERT_TRUE(port->Write(bytes.data(), static_cast<unsigned>(bytes.size())));
  port.reset();
  EXPECT_EQ(terminal.Receive(bytes.size()), bytes);
}

TEST(SerialPort, ReadGivesNothingAfterItsWait) {
  PseudoTerminal terminal;
  auto port = SerialPort::Open(terminal.DevicePath());
  ASSERT_NE(port, nullptr);
  uint8_t buffer[16];
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(port->Read(buffer, sizeof buffer, 60), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(50));
}

TEST(SerialPort, ReadTakesAtMostItsCapacity) {
  PseudoTerminal terminal;
  auto port = SerialPort::Open(terminal.DevicePath());
  ASSERT_NE(port, nullptr);
  terminal.Send({1, 2, 3, 4, 5});
  uint8_t buffer[3] = {};
  ASSERT_EQ(port->Read(buffer, 3, 2000), 3);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 3), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(ReadFor(*port, 2), (std::vector<uint8_t>{4, 5}));
}

TEST(SerialPort, ReadFailsOnceTheOtherSideHangsUp) {
  auto terminal = std::make_unique<PseudoTerminal>();
  auto port = SerialPort::Open(terminal->DevicePath());
  ASSERT_NE(port, nullptr);
  terminal.reset();
  uint8_t buffer[16];
  EXPECT_EQ(port->Read(buffer, sizeof buffer, 1000), -1);
}

}  // namespace
}  // namespace platform
}  // namespace quorlan
