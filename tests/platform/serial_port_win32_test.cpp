// The Win32 serial-port backend on wine's COM41 and COM42, a null-modem pair
// of pseudo-terminals that wine_com_ports.sh links in before these tests.
// Wine neither keeps a COM port to its first opener nor ends a read at the
// first bytes (only when its buffer is full or its wait is over), so these
// tests ask for no more than they expect and leave exclusive use untested.
#include "quorlan/platform/serial_port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "eventually.h"
#include "quorlan/transport/comm_port.h"
#include "quorlan/transport/serial_comm.h"

namespace quorlan {
namespace platform {
namespace {

constexpr int kPortA = 41;
constexpr int kPortB = 42;

std::unique_ptr<SerialPort> OpenPort(int number) { return SerialPort::Open(SystemSerialPortPath(number)); }

// Reads until count bytes came or a read waited in vain.
std::vector<uint8_t> ReadBytes(SerialPort& port, size_t count) {
  std::vector<uint8_t> received;
  uint8_t buffer[128];
  while (received.size() < count) {
    const size_t wanted = std::min(sizeof buffer, count - received.size());
    const int n = port.Read(buffer, static_cast<unsigned>(wanted), static_cast<int>(test_support::kRoomyWait.count()));
    if (n <= 0) break;
    received.insert(received.end(), buffer, buffer + n);
  }
  return received;
}

// Bytes a test before left in the pair would be read by the next one.
void Drain(SerialPort& port) {
  uint8_t buffer[128];
  while (port.Read(buffer, sizeof buffer, 50) > 0) {
  }
}

TEST(SystemSerialPortPath, NamesTheDosDevice) {
  const struct {
    int number;
    const char* path;
  } cases[] = {{1, "\\\\.\\COM1"}, {12, "\\\\.\\COM12"}, {0, "\\\\.\\COM0"}};
  for (const auto& c : cases) EXPECT_EQ(SystemSerialPortPath(c.number), c.path) << c.number;
}

TEST(SerialPortWin32, CarriesEveryByteValueBothWays) {
  auto a = OpenPort(kPortA);
  auto b = OpenPort(kPortB);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  Drain(*a);
  Drain(*b);
  std::vector<uint8_t> all(256);
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint8_t>(i);
  ASSERT_TRUE(a->Write(all.data(), static_cast<unsigned>(all.size())));
  EXPECT_EQ(ReadBytes(*b, all.size()), all);
  ASSERT_TRUE(b->Write(all.data(), static_cast<unsigned>(all.size())));
  EXPECT_EQ(ReadBytes(*a, all.size()), all);
}

TEST(SerialPortWin32, RefusesAMissingPort) {
  EXPECT_EQ(OpenPort(40), nullptr);
  EXPECT_EQ(SerialPort::Open(""), nullptr);
}

TEST(SerialPortWin32, ReadGivesNothingAfterItsWait) {
  auto a = OpenPort(kPortA);
  ASSERT_NE(a, nullptr);
  Drain(*a);
  uint8_t buffer[16];
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(a->Read(buffer, sizeof buffer, 60), 0);
  const auto waited = std::chrono::steady_clock::now() - started;
  EXPECT_GE(waited, std::chrono::milliseconds(50));
  EXPECT_LT(waited, std::chrono::seconds(5));
}

TEST(CommPortWin32, OpensTheNumberedPortAndCarriesBytes) {
  auto b = OpenPort(kPortB);
  ASSERT_NE(b, nullptr);
  Drain(*b);
  CommPort port("SERIAL://PORT=COM41,BAUDRATE=115200,PARITY=NONE,DATABITS=8,STOPBITS=1");
  ASSERT_EQ(port.Open(), kConnectionOk);
  const uint8_t bytes[] = {0x00, 0xFF, 0x13, 0x11};
  EXPECT_EQ(port.Write(bytes, sizeof bytes), kConnectionOk);
  EXPECT_EQ(ReadBytes(*b, sizeof bytes), std::vector<uint8_t>(bytes, bytes + sizeof bytes));
  ASSERT_TRUE(b->Write(bytes, sizeof bytes));
  uint8_t buffer[sizeof bytes];
  unsigned length = sizeof buffer;
  ASSERT_EQ(port.ReadAvailable(buffer, &length), kConnectionOk);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + length), std::vector<uint8_t>(bytes, bytes + length));
  EXPECT_GE(length, 1u);
}

TEST(CommPortWin32, OpenFailsForAMissingPortAndWithoutAPortNumber) {
  EXPECT_EQ(CommPort("SERIAL://PORT=COM40").Open(), kConnectionFailed);
  EXPECT_EQ(CommPort("SERIAL://BAUDRATE=9600").Open(), kConnectionFailed);
}

}  // namespace
}  // namespace platform
}  // namespace quorlan
