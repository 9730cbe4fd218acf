// The binding against the real Quorlan, which this program also links: the
// binding's load by file name finds that same library, so every result can
// be held against the one that qrx.h gives.
#include "pelorixj/device/qrx_library.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "eventually.h"
#include "quorlan/qrx.h"
#include "simulated_reader.h"

namespace pelorixj {
namespace {

using test_support::kRoomyWait;

constexpr uint32_t kTcp = 4;

// Any two commands differ in their sequence byte (parameter 1, byte 1).
std::string WithoutSequence(std::string hex) {
  if (hex.size() >= 12) hex.replace(10, 2, "--");
  return hex;
}

TEST(QrxBinding, BindsEveryExportByItsName) {
  ASSERT_TRUE(Qrx().IsLoaded());
  for (int e = 0; e < kQrxEntryCount; ++e) EXPECT_TRUE(Qrx().IsBound(static_cast<QrxEntry>(e))) << e;
}

TEST(QrxBinding, BuildsTheCommandsThatQrxHBuilds) {
  struct Case {
    uint16_t code;
    std::vector<std::pair<uint8_t, std::string>> parameters;
  };
  const Case cases[] = {
      {0x1008, {}},
      {0x1001, {{0x82, "01"}, {0xA3, "0102"}}},
      {0xFFFF, {{0xBE, "AB"}, {0x81, std::string(400, 'C')}}},
  };
  const QrxLibrary& q = Qrx();
  for (const Case& c : cases) {
    QrxHandle bound = q.createCommand(c.code);
    intptr_t direct = QRX_CreateCommand(c.code);
    for (const auto& [tag, value] : c.parameters) {
      q.setCommandParameter(bound, tag, value);
      QRX_SetCommandParameter(direct, tag, value.c_str());
    }
    const std::string viaTable = q.getCommandBytesInHex(bound);
    const std::string viaHeader = QRX_GetCommandBytesInHex(direct);
    EXPECT_NE(viaTable, "");
    EXPECT_EQ(WithoutSequence(viaTable), WithoutSequence(viaHeader)) << std::hex << c.code;
    q.deleteCommand(bound);
    QRX_DeleteCommand(direct);
  }
  for (const std::string formatted : {"1008", "1001,82=01,84=0102", "1001,,82=01", "zz"}) {
    EXPECT_EQ(WithoutSequence(q.getFormattedCommandBytesInHex(formatted)),
              WithoutSequence(QRX_GetFormattedCommandBytesInHex(formatted.c_str())))
        << formatted;
  }
  EXPECT_EQ(q.createFileMessage(0x01000000, "ABCD", 0x8001), QRX_GetFileMessage(0x01000000, "ABCD", 0x8001));
}

// Messages that Quorlan hands to the data callback.
struct Arrivals {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> messages;
} arrivals;

void QRX_CALL OnData(void*, const char* hex) {
  std::lock_guard<std::mutex> lock(arrivals.mutex);
  arrivals.messages.push_back(hex);
  arrivals.changed.notify_all();
}

TEST(QrxBinding, DrivesAReaderThroughTheTable) {
  reader_sim::SimulatedReader reader;
  ASSERT_TRUE(reader.Start());
  const QrxLibrary& q = Qrx();
  const QrxHandle device = q.openDevice(kTcp, reader.Address());
  ASSERT_NE(device, kFailedDeviceHandle);
  EXPECT_TRUE(q.isDeviceOpened(device));
  const auto object = static_cast<intptr_t>(0x7FEDCBA987654320u);
  q.attachObjectToDevice(device, object);
  EXPECT_EQ(q.getAttachedObject(device), object);
  q.setDataArriveCallback(device, OnData);
  ASSERT_TRUE(reader.WaitForConnections(1, kRoomyWait));

  const std::string reply = q.sendAndReceiveMessage(device, q.getFormattedCommandBytesInHex("1008"), 30000);
  EXPECT_EQ(q.getResponseCommandID(reply), 0x1008u);
  EXPECT_EQ(q.getStatusCode(reply), 0u);

  QrxHandle command = q.createCommand(0x1830);
  q.setCommandParameter(command, 0x81, std::string(400, 'A'));  // 200 bytes: four packets
  std::vector<double> fractions;
  EXPECT_NE(q.sendCommandWithProgress(device, command, [&](double f) { fractions.push_back(f); }, 30000), "");
  EXPECT_EQ(fractions, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
  fractions.clear();
  const std::string hex = q.getCommandBytesInHex(command);
  EXPECT_NE(q.sendCommandWithProgress(device, hex, [&](double f) { fractions.push_back(f); }, 30000), "");
  EXPECT_EQ(fractions.size(), 4u);
  q.deleteCommand(command);

  reader.PushNotification(0x0101, 0x10010200);
  {
    std::unique_lock<std::mutex> lock(arrivals.mutex);
    ASSERT_TRUE(arrivals.changed.wait_for(lock, kRoomyWait, [&] {
      for (const std::string& m : arrivals.messages) {
        if (q.isNotification(m, 0x10010200, 0x0101)) return true;
      }
      return false;
    }));
  }
  q.closeDevice(device);
  reader.Stop();
}

TEST(QrxBinding, FailuresInsideQuorlanArriveAsItsFailureResults) {
  const QrxLibrary& q = Qrx();
  const QrxHandle refused = q.openDevice(1, "anything");
  EXPECT_EQ(refused, kFailedDeviceHandle);
  EXPECT_EQ(static_cast<uintptr_t>(refused), UINTPTR_MAX);
  bool called = false;
  const QrxHandle command = q.createCommand(0x1008);
  EXPECT_EQ(q.sendCommandWithProgress(refused, command, [&](double) { called = true; }, 10), "");
  q.deleteCommand(command);
  EXPECT_EQ(q.sendCommandWithProgress(refused, std::string("AA00"), [&](double) { called = true; }, 10), "");
  EXPECT_FALSE(called);
  EXPECT_EQ(q.getDeviceList(2), "");
  EXPECT_EQ(q.sendMessage(refused, "AA00"), 5);
}

}  // namespace
}  // namespace pelorixj
