#include "quorlan/platform/serial_port.h"

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

TEST(SerialPort, ClosingLeavesTheLineOpenToEveryone) {
  PseudoTerminal terminal;
  auto port = SerialPort::Open(terminal.DevicePath());
  ASSERT_NE(port, nullptr);
  const std::optional<bool> whileOpen = terminal.DeviceIsExclusive();
  if (!whileOpen) GTEST_SKIP() << "only root can look at an exclusive line";
  EXPECT_TRUE(*whileOpen);
  port.reset();
  EXPECT_EQ(terminal.DeviceIsExclusive(), std::optional<bool>(false));
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

TEST(SerialPort, ReadGivesNothingAfterItsWait) {
  PseudoTerminal terminal;
  auto port = SerialPort::Open(terminal.DevicePath());
  ASSERT_NE(port, nullptr);
  uint8_t buffer[16];
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(port->Read(buffer, sizeof buffer, 60), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(50));
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
