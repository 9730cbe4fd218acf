// A TCP reader that goes away, by an orderly close or by a reset, while a
// wait is under way or while the device is idle: through the shared
// library's exports, against the simulated reader on loopback.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "eventually.h"
#include "quorlan/qrx.h"
#include "simulated_reader.h"

namespace {

using namespace std::chrono_literals;
using reader_sim::LinkEnd;
using reader_sim::SimulatedReader;
using test_support::Eventually;
using test_support::kRoomyWait;

constexpr int kTcp = 4;
// Far beyond the end expected: only the lost link can end such a wait early.
constexpr int kLongWaitMs = 30000;
constexpr auto kEndedEarly = 10s;

std::mutex statusMutex;
std::vector<int> statuses;

void QRX_CALL RecordStatus(void*, int status) {
  std::lock_guard<std::mutex> lock(statusMutex);
  statuses.push_back(status);
}

std::vector<int> Statuses() {
  std::lock_guard<std::mutex> lock(statusMutex);
  return statuses;
}

TEST(LostTcpReader, IsReportedOnceEndsTheWaitAndFailsLaterSends) {
  const struct {
    const char* name;
    LinkEnd end;
    bool waiting;
  } rows[] = {
      {"close during a wait", LinkEnd::kClose, true},
      {"reset during a wait", LinkEnd::kReset, true},
      {"close while idle, then a send", LinkEnd::kClose, false},
      {"reset while idle, then a send", LinkEnd::kReset, false},
  };
  const std::string command = QRX_GetFormattedCommandBytesInHex("1008");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    {
      std::lock_guard<std::mutex> lock(statusMutex);
      statuses.clear();
    }
    SimulatedReader reader;
    ASSERT_TRUE(reader.Start());
    reader.SetNoReply(0x1008);
    const intptr_t device = QRX_OpenDevice(kTcp, reader.Address().c_str());
    ASSERT_NE(device, -1);
    QRX_SetDeviceStatusChangeCallback(device, RecordStatus);
    ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));
    std::future<std::string> reply;
    if (row.waiting) {
      reply = std::async(std::launch::async,
                         [&] { return std::string(QRX_SendAndReceiveMessage(device, command.c_str(), kLongWaitMs)); });
      ASSERT_TRUE(reader.WaitForCommand(0x1008, kRoomyWait));
    }
    const auto dropped = std::chrono::steady_clock::now();
    reader.DropConnections(row.end);
    // Races the reader thread's finding: either may see the loss first.
    if (!row.waiting) QRX_SendMessage(device, command.c_str());

    EXPECT_TRUE(Eventually([] { return !Statuses().empty(); }));
    if (row.waiting) {
      EXPECT_EQ(reply.get(), "");
      EXPECT_LT(std::chrono::steady_clock::now() - dropped, kEndedEarly);
    }
    EXPECT_EQ(QRX_IsDeviceOpened(device), 0);
    EXPECT_EQ(QRX_SendMessage(device, command.c_str()), 0xFF);
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_STREQ(QRX_SendAndReceiveMessage(device, command.c_str(), kLongWaitMs), "");
    EXPECT_LT(std::chrono::steady_clock::now() - sent, kEndedEarly);
    QRX_CloseDevice(device);
    // Room for a second report, which must not come.
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(Statuses(), std::vector<int>{0});
  }
}

}  // namespace
