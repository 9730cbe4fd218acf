// The newer platform's control against the real libQuorlan.so, which this
// program links (so the binding's load by name finds it), and a simulated
// reader over TCP.
#include "pelorixj/device/orvane_device_control.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "pelorixj/device/hex_conversions.h"
#include "quorlan/qrx.h"
#include "reader_session.h"

namespace pelorixj {
namespace {

using reader_sim::Reply;
using reader_sim::Status;

void* AsDevice(QrxHandle handle) { return reinterpret_cast<void*>(handle); }

TEST(OrvaneControl, TakesItsAddressFromAStringPathOrElseTheWholeText) {
  const std::string cases[][2] = {
      {R"({"DSN":"X1","Path":"p1","PID":"3A11"})", "p1"},
      {R"({"DSN":"X1"})", R"({"DSN":"X1"})"},
      {R"({"Path":""})", R"({"Path":""})"},
      {R"({"Path":5})", R"({"Path":5})"},
      {R"(["Path","p1"])", R"(["Path","p1"])"},
      {"tcp://127.0.0.1:9", "tcp://127.0.0.1:9"},
  };
  for (const auto& [text, address] : cases) {
    const OrvaneIDeviceControl control(kConnectionWebSocket, text);
    const ConnectionInfo& info = control.GetConnectionInfo();
    EXPECT_EQ(info.Address, address) << text;
    EXPECT_EQ(info.DeviceType, kNewerPlatformDevice);
    EXPECT_EQ(info.ConnectionType, kConnectionWebSocket);
  }
}

TEST(OrvaneControl, SendsEachCommandAsTheReaderExpectsIt) {
  const std::string text = "Hi";
  BarCodeRequest plainBarCode;
  plainBarCode.Data = {0x41, 0x42};
  plainBarCode.ErrorCorrection = 1;
  plainBarCode.MaskPattern = 2;
  plainBarCode.MinVersion = 3;
  plainBarCode.MaxVersion = 4;
  BarCodeRequest colouredBarCode = plainBarCode;
  colouredBarCode.Type = 7;  // neither type nor format is sent
  colouredBarCode.Format = 9;
  colouredBarCode.BackgroundColor = {0xFF, 0xFF, 0xFF};
  colouredBarCode.BlockColor = {0x00, 0x00, 0x10};
  ImageObject image;
  image.Data = {0x01, 0x02, 0x03};
  image.BackgroundColor = {0xFF, 0x00, 0x00};
  ImageObject otherType = image;
  otherType.Type = 1;
  struct Case {
    const char* name;
    bool open;
    std::function<bool(OrvaneIDeviceControl&)> call;
    uint16_t code;
    Status reply;
    std::string sent;  // "" when nothing may be sent
    bool result;
  };
  const Case cases[] = {
      {"reset", true, [](auto& c) { return c.DeviceReset(); }, 0x1F01, {}, "AA00810401--1F0184021F01", true},
      {"refused reset", true, [](auto& c) { return c.DeviceReset(); }, 0x1F01, {0, 5}, "AA00810401--1F0184021F01",
       false},
      {"reset opens a closed device", false, [](auto& c) { return c.DeviceReset(); }, 0x1F01, {},
       "AA00810401--1F0184021F01", true},
      {"message: 81 takes the second argument", true, [](auto& c) { return c.DisplayMessage(5, 9); }, 0x1803, {},
       "AA00810401--180384081803810109820105", true},
      {"message on a closed device", false, [](auto& c) { return c.DisplayMessage(5, 9); }, 0x1803, {}, "", false},
      {"image", true, [](auto& c) { return c.ShowImage(0xA7); }, 0x1821, {}, "AA00810401--1821840518218101A7",
       true},
      {"image object", true, [&](auto& c) { return c.ShowImageObject(image, 2); }, 0x1823, {},
       Envelope(0x1823, {{0x81, "02"}, {0x82, "FF0000"}, {0x83, "00"}, {0x84, "00"}, {0x85, "010203"}}), true},
      {"image object: only the command status counts", true, [&](auto& c) { return c.ShowImageObject(image, 2); },
       0x1823, {0x11, 0},
       Envelope(0x1823, {{0x81, "02"}, {0x82, "FF0000"}, {0x83, "00"}, {0x84, "00"}, {0x85, "010203"}}), true},
      {"refused image object", true, [&](auto& c) { return c.ShowImageObject(image, 2); }, 0x1823, {0, 1},
       Envelope(0x1823, {{0x81, "02"}, {0x82, "FF0000"}, {0x83, "00"}, {0x84, "00"}, {0x85, "010203"}}), false},
      {"image object of another type", true, [&](auto& c) { return c.ShowImageObject(otherType, 2); }, 0x1823, {},
       "", false},
      {"bar code without colours or text", true, [&](auto& c) { return c.ShowBarCode(plainBarCode, 1, nullptr); },
       0x1822, {},
       Envelope(0x1822, {{0x81, "01"}, {0x82, "4142"}, {0x83, "01"}, {0x84, "02"}, {0x85, "03"}, {0x86, "04"}}),
       true},
      {"bar code with colours and text", true, [&](auto& c) { return c.ShowBarCode(colouredBarCode, 0, &text); },
       0x1822, {},
       Envelope(0x1822, {{0x81, "00"}, {0x82, "4142"}, {0x83, "01"}, {0x84, "02"}, {0x85, "03"}, {0x86, "04"},
                         {0x87, "FFFFFF"}, {0x88, "000010"}, {0x89, "4869"}}),
       true},
      {"send", true, [](auto& c) { return c.Send(ByteDataRecord("AA0081040107100884021008")); }, 0x1008, {},
       "AA00810401--100884021008", true},
      {"send on a closed device", false, [](auto& c) { return c.Send(ByteDataRecord("AA00")); }, 0x1008, {}, "",
       false},
      {"formatted command", true,
       [](auto& c) {
         c.SendFormattedCommand("1008,81=01");
         return true;
       },
       0x1008, {}, Envelope(0x1008, {{0x81, "01"}}), true},
      {"formatted command on a closed device", false,
       [](auto& c) {
         c.SendFormattedCommand("1008");
         return true;
       },
       0x1008, {}, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReaderSession session;
    session.reader.SetReply(c.code, Reply::WithStatus(c.reply.operationStatus, c.reply.commandStatus));
    if (c.open) {
      ASSERT_TRUE(session.Open());
    }
    EXPECT_EQ(c.call(*session.control), c.result);
    std::vector<std::string> expected;
    if (!c.sent.empty()) expected.push_back(c.sent);
    if (session.control->IsOpened()) {
      // Quorlan keeps the order of one device's writes: all before this marker has arrived.
      session.control->SendFormattedCommand("1F7F");
      ASSERT_TRUE(session.reader.WaitForCommand(0x1F7F, kRoomyWait));
      expected.push_back(Envelope(0x1F7F));
    }
    EXPECT_EQ(session.ReceivedHex(), expected);
  }
}

TEST(OrvaneControl, SendSyncTellsAReplyFromNoReplyAndFromAClosedDevice) {
  const reader_sim::InnerParameters answer = {{0x81, {0x0A, 0xBC}}};
  struct Case {
    const char* name;
    bool open;
    bool answered;
    uint32_t status;
    bool data;
  };
  const Case cases[] = {
      {"reply", true, true, 0, true},
      {"no reply within the wait", true, false, 1, false},
      {"closed", false, true, 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReaderSession session;
    if (c.answered) {
      session.reader.SetReply(0x1008, Reply::Ok(answer));
    } else {
      session.reader.SetNoReply(0x1008);
      session.control->SetResponseWaits(ShortWait(&ResponseWaits::replyMs));
    }
    if (c.open) {
      ASSERT_TRUE(session.Open());
    }
    // Lower case, as callers may write it.
    const DeviceResponse response = session.control->SendSync(ByteDataRecord("aa0081040100100884021008"));
    EXPECT_EQ(response.Status, c.status);
    std::string expected;
    if (c.data) expected = Masked(reader_sim::ToHex(reader_sim::BuildResponse(0x1008, 0, {}, answer)));
    EXPECT_EQ(Masked(response.Data.Text), expected);
    EXPECT_EQ(response.Data.Bytes, HexPairsToBytes(response.Data.Text));
    EXPECT_EQ(session.reader.Received().size(), c.open ? 1u : 0u);
  }
}

TEST(OrvaneControl, OpensOnceAndReportsItsOwnCloseInsteadOfQuorlans) {
  ReaderSession session;
  ASSERT_TRUE(session.Open());
  const QrxHandle first = session.control->DeviceHandle();
  EXPECT_NE(first, 0);
  EXPECT_TRUE(session.control->Open());
  EXPECT_EQ(session.control->DeviceHandle(), first);
  EXPECT_TRUE(session.control->Close());
  EXPECT_FALSE(session.control->IsOpened());
  EXPECT_TRUE(session.control->Close());
  ASSERT_TRUE(session.Open());
  EXPECT_NE(session.control->DeviceHandle(), first);
  // Quorlan reports each close on a thread of its own, soon after.
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(session.statuses.Values(), (std::vector<bool>{true, false, true}));
  EXPECT_EQ(session.reader.AcceptedCount(), 2u);
}

TEST(OrvaneControl, AFailedOpenLeavesTheControlClosedAndReportsNothing) {
  ReaderSession session;
  session.reader.Stop();
  EXPECT_FALSE(session.control->Open());
  EXPECT_FALSE(session.control->IsOpened());
  EXPECT_EQ(session.control->DeviceHandle(), 0);
  EXPECT_TRUE(session.statuses.Values().empty());
}

TEST(OrvaneControl, EveryStatusReportOfItsDeviceMeansDisconnected) {
  for (const int status : {1, 0, 5, 1167, -1}) {
    SCOPED_TRACE(status);
    ReaderSession session;
    ASSERT_TRUE(session.Open());
    OrvaneIDeviceControl::StatusChangeThunk(AsDevice(session.control->DeviceHandle()), status);
    EXPECT_EQ(session.statuses.Values(), (std::vector<bool>{true, false}));
  }
}

TEST(OrvaneControl, ReportsForHandlesItNoLongerHoldsAreIgnored) {
  ReaderSession session;
  ASSERT_TRUE(session.Open());
  const QrxHandle old = session.control->DeviceHandle();
  session.control->Close();
  ASSERT_TRUE(session.Open());
  const QrxHandle current = session.control->DeviceHandle();
  for (const QrxHandle ignored : {old, QrxHandle{0}, kFailedDeviceHandle}) {
    OrvaneIDeviceControl::StatusChangeThunk(AsDevice(ignored), 1);
    OrvaneIDeviceControl::DataArriveThunk(AsDevice(ignored), "0A");
  }
  OrvaneIDeviceControl::DataArriveThunk(AsDevice(current), "0B");
  OrvaneIDeviceControl::StatusChangeThunk(AsDevice(current), 1);
  EXPECT_EQ(session.messages.Values(), (std::vector<std::string>{"0B"}));
  EXPECT_EQ(session.statuses.Values(), (std::vector<bool>{true, false, true, false}));
  // Nothing that a handler throws reaches Quorlan.
  session.control->SetDataArriveHandler([](std::string) { throw std::runtime_error("handler"); });
  session.control->SetStatusChangeHandler([](bool) { throw 5; });
  EXPECT_NO_THROW(OrvaneIDeviceControl::DataArriveThunk(AsDevice(current), "0C"));
  EXPECT_NO_THROW(OrvaneIDeviceControl::StatusChangeThunk(AsDevice(current), 1));
  session.control->SetStatusChangeHandler(nullptr);
}

TEST(OrvaneControl, DestructionWaitsForAHandlerRunningOnAnotherThread) {
  std::atomic<bool> finished{false};
  Recorded<bool> entered;
  ReaderSession session;
  session.control->SetDataArriveHandler([&](std::string) {
    entered.Add(true);
    std::this_thread::sleep_for(300ms);
    finished = true;
  });
  ASSERT_TRUE(session.Open());
  const QrxHandle handle = session.control->DeviceHandle();
  session.reader.PushNotification(0x0101, 0x10010200);
  ASSERT_TRUE(entered.WaitForCount(1));
  // Not closed first: Quorlan's close would wait for the handler itself.
  session.control.reset();
  EXPECT_TRUE(finished);
  // Later messages and reports for the device find no control.
  session.reader.PushNotification(0x0101, 0x10010300);
  OrvaneIDeviceControl::StatusChangeThunk(AsDevice(handle), 1);
  QRX_CloseDevice(handle);
  EXPECT_EQ(entered.Values().size(), 1u);
}

TEST(OrvaneControl, AHandlerMayCloseAndDestroyItsControl) {
  Recorded<bool> done;
  ReaderSession session;
  session.control->SetDataArriveHandler([&](std::string) {
    session.control->Close();
    session.control.reset();
    done.Add(true);
  });
  ASSERT_TRUE(session.Open());
  session.reader.PushNotification(0x0101, 0x10010200);
  ASSERT_TRUE(done.WaitForCount(1));
}

// Run under ThreadSanitizer in CI: notifications, status reports that close
// the control (as its device does), handler changes, and repeated opening
// and closing, all at once.
TEST(OrvaneControl, OpensAndClosesWhileNotificationsAndReportsArrive) {
  std::atomic<bool> stop{false};
  ReaderSession session;
  session.control->SetStatusChangeHandler([&](bool connected) {
    if (!connected) session.control->Close();
  });
  std::thread pusher([&] {
    for (int i = 0; i < 2000 && !stop; ++i) {
      session.reader.PushNotification(0x0101, 0x10010200);
      std::this_thread::sleep_for(1ms);
    }
  });
  std::thread reporter([&] {
    for (int i = 0; i < 2000 && !stop; ++i) {
      OrvaneIDeviceControl::StatusChangeThunk(AsDevice(session.control->DeviceHandle()), 0);
      std::this_thread::sleep_for(10ms);
    }
  });
  std::thread replacer([&] {
    for (int i = 0; i < 2000 && !stop; ++i) {
      session.control->SetDataArriveHandler([](std::string) {});
      std::this_thread::sleep_for(1ms);
    }
  });
  for (int round = 0; round < 30; ++round) {
    session.control->Open();
    std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(session.control->Close());
  }
  stop = true;
  pusher.join();
  reporter.join();
  replacer.join();
  // Whatever happened meanwhile, the control serves its next opening.
  session.control->SetDataArriveHandler([&](std::string message) { session.messages.Add(std::move(message)); });
  ASSERT_TRUE(session.Open());
  session.reader.PushNotification(0x0101, 0x10010300);
  EXPECT_TRUE(session.messages.WaitForCount(1));
  EXPECT_TRUE(session.reader.ProtocolErrors().empty());
}

}  // namespace
}  // namespace pelorixj
