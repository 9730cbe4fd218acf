// The device object over a virtual USB HID reader: packets inside reports,
// waits, status reports and the device's life cycle.
#include "quorlan/device/orvane_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "eventually.h"
#include "quorlan/message/notification.h"
#include "virtual_hid.h"

namespace quorlan {
namespace {

using namespace std::chrono_literals;
using test_support::Eventually;
using test_support::kRoomyWait;

constexpr uint16_t kVendor = 0x7A3B;
constexpr uint16_t kProduct = 0x3A11;
constexpr uint32_t kDeviceNotConnected = 1167;

// A message small enough for one packet, as the reader sends it: report id,
// single packet kind, length, message, zero padding.
std::vector<uint8_t> SinglePacketReport(const Bytes& message) {
  std::vector<uint8_t> report(65, 0);
  report[1] = 0x00;
  report[2] = static_cast<uint8_t>(message.size());
  std::copy(message.begin(), message.end(), report.begin() + 3);
  return report;
}

Bytes Response(uint16_t command, uint8_t operationStatus) {
  return HexStringToBytes("AA0081040200" + BytesToHexString({static_cast<uint8_t>(command >> 8),
                                                                 static_cast<uint8_t>(command)}) +
                          "8204" + BytesToHexString({operationStatus}) + "000000");
}

Bytes Notification(uint16_t id) {
  return HexStringToBytes("AA0081040300" + BytesToHexString({static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id)}) +
                          "820401020304");
}

struct Recorder {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Bytes> messages;
  std::vector<int> statuses;

  OrvaneDevice::DataCallback Data() {
    return [this](OrvaneDevice*, Bytes message) {
      std::lock_guard<std::mutex> lock(mutex);
      messages.push_back(std::move(message));
      changed.notify_all();
    };
  }
  OrvaneDevice::StatusCallback Status() {
    return [this](OrvaneDevice*, int status) {
      std::lock_guard<std::mutex> lock(mutex);
      statuses.push_back(status);
      changed.notify_all();
    };
  }
  bool WaitForMessages(size_t count) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, kRoomyWait, [&] { return messages.size() >= count; });
  }
  bool WaitForStatuses(size_t count) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, kRoomyWait, [&] { return statuses.size() >= count; });
  }
};

class DeviceOverUsb : public ::testing::Test {
 protected:
  void SetUp() override {
    reader = backend->AddDevice("/dev/hidraw-virtual0", kVendor, kProduct, "SN0001", "Virtual Reader");
    device.SetDataCallback(recorder.Data());
    device.SetStatusCallback(recorder.Status());
    device.SetDeviceType(kDeviceTypeUsbHid);
    ASSERT_TRUE(device.Open(""));
  }

  std::shared_ptr<VirtualHidBackend> backend = std::make_shared<VirtualHidBackend>();
  std::shared_ptr<VirtualHidDevice> reader;
  Recorder recorder;
  OrvaneDevice device{backend};
};

TEST_F(DeviceOverUsb, SendsPacketsBehindTheReportId) {
  Bytes message(100);
  for (size_t i = 0; i < message.size(); ++i) message[i] = static_cast<uint8_t>(i);
  device.Send(message);
  auto reports = reader->OutputReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0][0], 0x00);
  EXPECT_EQ(reports[0][1], 0x01);  // start packet
  EXPECT_EQ(reports[0][5], 100);   // low byte of the total length
  EXPECT_EQ(reports[1][1], 0x03);  // end packet
  EXPECT_EQ(reports[1][2], 41);
  EXPECT_EQ(reports[1][3], 59);
}

TEST_F(DeviceOverUsb, WaitReturnsTheResponseAndDeliversEverything) {
  std::thread readerSide([&] {
    if (!reader->WaitForTransferStarted(kRoomyWait)) return;
    reader->DeliverInputReport(SinglePacketReport(Notification(0x1805)));
    reader->DeliverInputReport(SinglePacketReport(Response(0x1008, 0x12)));
  });
  Bytes reply = device.SendAndWait(HexStringToBytes("AA0081040101100884021008"), 30000, true);
  readerSide.join();
  EXPECT_EQ(reply, Response(0x1008, 0x12));
  ASSERT_TRUE(recorder.WaitForMessages(2));
  EXPECT_EQ(recorder.messages[0], Notification(0x1805));
  EXPECT_EQ(recorder.messages[1], reply);
}

TEST_F(DeviceOverUsb, WaitForAnyMessageTakesTheFirst) {
  std::thread readerSide([&] {
    if (!reader->WaitForTransferStarted(kRoomyWait)) return;
    reader->DeliverInputReport(SinglePacketReport(Notification(7)));
  });
  EXPECT_EQ(device.SendAndWait({0x01}, 30000, false), Notification(7));
  readerSide.join();
}

TEST_F(DeviceOverUsb, TimedOutWaitLeavesDeliveryAsItWas) {
  auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(device.SendAndWait({0x01}, 150, true).empty());
  EXPECT_GE(std::chrono::steady_clock::now() - started, 145ms);
  reader->DeliverInputReport(SinglePacketReport(Response(0x1008, 0)));
  ASSERT_TRUE(recorder.WaitForMessages(1));
}

TEST_F(DeviceOverUsb, RawWaitBypassesThePackage) {
  std::thread readerSide([&] {
    if (!reader->WaitForTransferStarted(kRoomyWait)) return;
    reader->DeliverInputReport(SinglePacketReport(Notification(9)));
  });
  Bytes reply = device.SendRawAndWait({0x00, 0x00, 0x01, 0x55}, 30000);
  readerSide.join();
  EXPECT_EQ(reply, SinglePacketReport(Notification(9)));
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(DeviceOverUsb, ProgressCallbackMayWaitForAReply) {
  const Bytes command = HexStringToBytes("AA0081040101100884021008");
  std::thread readerSide([&] {
    const auto commandWritten = [&] {
      for (const auto& report : reader->OutputReports()) {
        if (report.size() >= 3 + command.size() && report[1] == 0x00 && report[2] == command.size() &&
            std::equal(command.begin(), command.end(), report.begin() + 3)) {
          return true;
        }
      }
      return false;
    };
    if (Eventually(commandWritten)) reader->DeliverInputReport(SinglePacketReport(Response(0x1008, 0)));
  });
  Bytes reply;
  bool asked = false;
  device.SendWithProgress(Bytes(300, 0x5A), [&](double) {
    if (asked) return;
    asked = true;
    reply = device.SendAndWait(command, 30000, true);
  });
  readerSide.join();
  EXPECT_EQ(reply, Response(0x1008, 0));
}

TEST_F(DeviceOverUsb, OpenAgainKeepsTheConnection) {
  EXPECT_TRUE(device.Open("/dev/other"));
  EXPECT_EQ(reader->Log(), std::vector<std::string>{"open"});
}

TEST_F(DeviceOverUsb, CloseReportsStatusOneOnceAndOnlyWhenOpen) {
  EXPECT_TRUE(device.Close());
  EXPECT_FALSE(device.IsOpen());
  EXPECT_TRUE(device.Close());
  EXPECT_EQ(recorder.statuses, std::vector<int>{1});
  EXPECT_THROW(device.SendAndWait({0x01}, 10, true), std::runtime_error);
  device.Send({0x01});
  EXPECT_TRUE(reader->OutputReports().empty());
}

TEST_F(DeviceOverUsb, LostReaderIsReportedWithItsErrorCode) {
  reader->FailReadInFlight(kDeviceNotConnected);
  ASSERT_TRUE(recorder.WaitForStatuses(1));
  EXPECT_EQ(recorder.statuses[0], static_cast<int>(kDeviceNotConnected));
}

TEST_F(DeviceOverUsb, StatusCallbackMayCloseTheDevice) {
  std::atomic<bool> closed{false};
  device.SetStatusCallback([&](OrvaneDevice* self, int status) {
    if (status != 1) closed = self->Close();
  });
  reader->FailReadInFlight(kDeviceNotConnected);
  EXPECT_TRUE(Eventually([&] { return closed.load(); }));
  EXPECT_FALSE(device.IsOpen());
  EXPECT_TRUE(device.Open(""));
}

TEST_F(DeviceOverUsb, WaitsRaceDeliveriesSafely) {
  std::atomic<bool> running{true};
  std::atomic<size_t> delivered{0};
  std::thread readerSide([&] {
    for (uint16_t id = 0; running; ++id) {
      reader->DeliverInputReport(SinglePacketReport(id % 3 ? Notification(id) : Response(0x1008, 0)));
      ++delivered;
      std::this_thread::sleep_for(200us);
    }
  });
  for (int i = 0; i < 200; ++i) {
    const bool responsesOnly = i % 2 == 0;
    Bytes reply = device.SendAndWait({0x01}, 2, responsesOnly);
    if (responsesOnly && !reply.empty()) {
      EXPECT_EQ(reply, Response(0x1008, 0));
    }
  }
  running = false;
  readerSide.join();
  ASSERT_TRUE(reader->WaitForPendingRead(kRoomyWait));
  ASSERT_TRUE(recorder.WaitForMessages(delivered));
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(recorder.messages.size(), delivered.load());
}

TEST_F(DeviceOverUsb, StateZeroClosesTheDeviceAfterTheStatusCallback) {
  std::atomic<bool> openDuringCallback{false};
  device.SetStatusCallback([&](OrvaneDevice* self, int status) {
    openDuringCallback = self->IsOpen();
    recorder.Status()(self, status);
  });
  reader->FailReadInFlight(0);
  ASSERT_TRUE(recorder.WaitForStatuses(1));
  EXPECT_EQ(recorder.statuses[0], 0);
  EXPECT_TRUE(openDuringCallback);
  EXPECT_TRUE(Eventually([&] { return !device.IsOpen(); }));
  EXPECT_TRUE(device.Open(""));
}

TEST(DeviceLifeCycle, DestructionWaitsForARunningCallback) {
  auto backend = std::make_shared<VirtualHidBackend>();
  auto reader = backend->AddDevice("/dev/hidraw-virtual0", kVendor, kProduct);
  std::atomic<bool> inCallback{false};
  std::atomic<bool> finished{false};
  std::atomic<int> calls{0};
  {
    OrvaneDevice device(backend);
    device.SetDataCallback([&](OrvaneDevice* self, Bytes) {
      ++calls;
      inCallback = true;
      std::this_thread::sleep_for(100ms);
      finished = self->attachedObject.load() == 42;
    });
    device.attachedObject = 42;
    device.SetDeviceType(kDeviceTypeUsbHid);
    ASSERT_TRUE(device.Open(""));
    for (int i = 0; i < 5; ++i) reader->DeliverInputReport(SinglePacketReport(Notification(1)));
    ASSERT_TRUE(Eventually([&] { return inCallback.load(); }));
  }
  EXPECT_TRUE(finished);
  EXPECT_EQ(calls.load(), 1);
}

TEST(DeviceLifeCycle, DestructionEndsAWaitInProgress) {
  auto backend = std::make_shared<VirtualHidBackend>();
  auto reader = backend->AddDevice("/dev/hidraw-virtual0", kVendor, kProduct);
  auto device = std::make_unique<OrvaneDevice>(backend);
  device->SetDeviceType(kDeviceTypeUsbHid);
  ASSERT_TRUE(device->Open(""));
  auto started = std::chrono::steady_clock::now();
  Bytes reply = {0xFF};
  std::thread waiter([&, raw = device.get()] { reply = raw->SendAndWait({0x01}, 3000, true); });
  ASSERT_TRUE(reader->WaitForTransferStarted(kRoomyWait));
  device.reset();
  waiter.join();
  EXPECT_TRUE(reply.empty());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms);
}

TEST(DeviceLifeCycle, DestructionWaitsForAStateReportInProgress) {
  auto backend = std::make_shared<VirtualHidBackend>();
  auto reader = backend->AddDevice("/dev/hidraw-virtual0", kVendor, kProduct);
  auto device = std::make_unique<OrvaneDevice>(backend);
  std::atomic<bool> inCallback{false};
  std::atomic<bool> callbackDone{false};
  device->SetStatusCallback([&](OrvaneDevice*, int) {
    inCallback = true;
    std::this_thread::sleep_for(100ms);
    callbackDone = true;
  });
  device->SetDeviceType(kDeviceTypeUsbHid);
  ASSERT_TRUE(device->Open(""));
  reader->FailReadInFlight(0);
  ASSERT_TRUE(Eventually([&] { return inCallback.load(); }));
  device.reset();
  EXPECT_TRUE(callbackDone);
}

TEST(DeviceTypes, OnlyUsbAndTcpOpen) {
  auto backend = std::make_shared<VirtualHidBackend>();
  backend->AddDevice("/dev/hidraw-virtual0", kVendor, kProduct);
  OrvaneDevice device(backend);
  for (int type : {kDeviceTypeBle, kDeviceTypeTls12, kDeviceTypeWebSocket}) {
    device.SetDeviceType(type);
    EXPECT_FALSE(device.Open("")) << type;
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(device.GetDeviceList([](std::string, std::string) { return false; }, "")) << type;
  }
  for (int type : {7, 2, 3, 6, -1}) {
    try {
      device.SetDeviceType(type);
      ADD_FAILURE() << type;
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "Invalid device type");
    }
  }
  device.SetDeviceType(kDeviceTypeUsbHid);
  std::vector<std::string> paths;
  EXPECT_TRUE(device.GetDeviceList(
      [&](std::string path, std::string) {
        paths.push_back(path);
        return false;
      },
      ""));
  EXPECT_EQ(paths, std::vector<std::string>{"/dev/hidraw-virtual0"});
}

}  // namespace
}  // namespace quorlan
