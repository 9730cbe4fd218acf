// The older family's device and control, end to end through the complete
// stand-in library on the search path.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <functional>
#include <future>
#include <iostream>
#include <locale>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "eventually.h"
#include "pelorixj/brannet/brannet_devices.h"
#include "pelorixj/brannet/brannet_idevice.h"
#include "pelorixj/brannet/brannet_library.h"
#include "pelorixj/brannet/reader_model_table.h"
#include "pelorixj/device/destroy_device.h"
#include "pelorixj/device/hex_conversions.h"
#include "standin_control.h"

namespace pelorixj {
namespace {

using namespace std::chrono_literals;
using test_support::Eventually;
using test_support::kRoomyWait;

const char kReader[] = "HID://P1";

auto Fields(const DeviceInfo& i) { return std::make_tuple(i.Name, i.Model, i.Serial); }
auto Fields(const DeviceCapabilities& c) {
  return std::make_tuple(c.PaymentMethods, c.Display, c.PINPad, c.Signature, c.SRED, c.MSRPowerSaver,
                         c.BatteryBackedClock);
}

DeviceCapabilities ModelCapabilities(uint32_t productId) {
  for (const ReaderModel& model : ReaderModelTable()) {
    if (model.productId == productId) return model.capabilities;
  }
  return {};
}

class BrannetDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Brannet().IsLoaded()) << "the complete stand-in must be on the library search path";
    standin.BrannetStandin_Reset();
  }
  void TearDown() override {
    for (IDevice* device : made_) delete device;
  }

  // Destroys a device made here, as its owner would once it is released.
  void Release(IDevice* device) {
    made_.erase(std::find(made_.begin(), made_.end(), device));
    DestroyDevice(device);
  }

  BrannetIDevice& Make(uint32_t connectionType, const std::string& address) {
    made_.push_back(GetBrannetDevice(connectionType, address));
    return *static_cast<BrannetIDevice*>(made_.back());
  }

  BrannetIDeviceControl& Control(IDevice& device) {
    return *static_cast<BrannetIDeviceControl*>(device.GetDeviceControl());
  }

  // A device of a connected reader at kReader, open, with the call log empty.
  BrannetIDevice& Opened() {
    standin.BrannetStandin_AddDevice(kReader);
    BrannetIDevice& device = Make(0, kReader);
    EXPECT_TRUE(device.GetDeviceControl()->Open());
    standin.BrannetStandin_ClearCallLog();
    return device;
  }

  // The command texts sent with SendCommandEx since the log was cleared.
  std::vector<std::string> SentCommands() {
    std::vector<std::string> commands;
    for (const std::string& call : standin.Calls("SendCommandEx(")) {
      const size_t quote = call.find('"');
      commands.push_back(call.substr(quote + 1, call.size() - quote - 3));
    }
    return commands;
  }

  StandinControl standin;

 private:
  std::vector<IDevice*> made_;
};

std::function<bool(IDevice&)> Transaction(std::string amount, std::string cashBack, uint32_t paymentMethods,
                                          bool quickChip) {
  return [=](IDevice& device) {
    TransactionRequest request;
    request.Amount = amount;
    request.CashBack = cashBack;
    request.PaymentMethods = paymentMethods;
    request.QuickChip = quickChip;
    request.Timeout = 5;
    return device.StartTransaction(request);
  };
}

TEST_F(BrannetDevice, SendsTheFamilysCommandTextsAndRefusesAmountsOutOfRange) {
  const struct {
    const char* name; std::function<bool(IDevice&)> run; int resultCode; std::vector<std::string> commands; bool result;
  } cases[] = {
      {"transaction", Transaction("12.34", "0", 7, false), 0, {"0300:3C070000000000123400000000000000000002"}, true},
      {"largest amounts", Transaction(" 9999999999.99", "1.5", 0xF, true), 0,
       {"0300:3C" "07" "80" "999999999999" "00" "000000000150" "0000" "02"}, true},
      {"transaction failing", Transaction("1", "0", 1, false), 5,
       {"0300:3C" "01" "00" "000000000100" "00" "000000000000" "0000" "02"}, false},
      {"negative amount", Transaction("-0.01", "0", 7, false), 0, {}, false},
      {"amount too large", Transaction("10000000000", "0", 7, false), 0, {}, false},
      {"cash back too large", Transaction("0", "1e10", 7, false), 0, {}, false},
      {"infinite amount", Transaction("inf", "0", 7, false), 0, {}, false},
      {"amount not a number", Transaction("nan", "0", 7, false), 0, {}, false},
      {"empty amount", Transaction("", "0", 7, false), 0, {}, false},
      {"empty cash back", Transaction("1", "", 7, false), 0, {}, false},
      {"amount no number", Transaction("abc", "0", 7, false), 0, {}, false},
      {"cancel", [](IDevice& d) { return d.CancelTransaction(); }, 0, {"4906000003040000"}, true},
      {"reset", [](IDevice& d) { return d.GetDeviceControl()->DeviceReset(); }, 0, {"02"}, true},
      {"reset failing", [](IDevice& d) { return d.GetDeviceControl()->DeviceReset(); }, 5, {"02"}, false},
  };
  BrannetIDevice& device = Opened();
  for (const auto& c : cases) {
    standin.BrannetStandin_SetResultCode(kReader, c.resultCode);
    standin.BrannetStandin_ClearCallLog();
    EXPECT_EQ(c.run(device), c.result) << c.name;
    EXPECT_EQ(SentCommands(), c.commands) << c.name;
  }
}

// Decimal comma, as in many of the locales that applications run in.
struct CommaDecimalPoint : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST_F(BrannetDevice, ReadsAmountsInTheCLocaleWhateverTheProcesssLocale) {
  BrannetIDevice& device = Opened();
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimalPoint));
#ifdef PELORIXJ_TEST_LOCALES
  // Where the build made the first locale below.
  setenv("LOCPATH", PELORIXJ_TEST_LOCALES, 1);
#endif
  const char* commaLocale = nullptr;
  for (const char* name : {"de_DE.UTF-8", "German_Germany.1252"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      commaLocale = name;
      break;
    }
  }
  // The point is the decimal separator; a comma is refused, not read as one.
  const bool read = Transaction("12.34", "0", 1, false)(device) && !Transaction("12,34", "0", 1, false)(device);
  std::locale::global(previous);
  std::setlocale(LC_ALL, "C");
  EXPECT_TRUE(read);
  EXPECT_EQ(SentCommands(), (std::vector<std::string>{"0300:3C0100000000001234000000000000000000" "02"}));
  if (commaLocale == nullptr) std::cout << "No C locale with a decimal comma: only the C++ locale was changed\n";
}

TEST_F(BrannetDevice, DeviceInformationComesFromTheReaderOnceConnected) {
  const struct {
    const char* name; uint32_t connectionType; std::string address; const char* reader; int connected; int productId;
    int resultCode; DeviceInfo info; DeviceCapabilities capabilities;
  } cases[] = {
      {"no reader", 0, "HID://P0", nullptr, 1, 0, 0, {"Lumar Device", "Unknown", "Unknown"}, {}},
      {"not connected", 0, kReader, kReader, 0, 0x0113, 0, {"Lumar Device", "Unknown", "Unknown"}, {}},
      {"known model", 0, kReader, kReader, 1, 0x0113, 0, {"P1", "Fictus D22 Dip Pad", "12345"},
       ModelCapabilities(0x0113)},
      {"product id 0", 0, kReader, kReader, 1, 0, 0, {"P1", "", "12345"}, {}},
      {"unknown product id", 0, kReader, kReader, 1, 0x7777, 0, {"P1", "", "12345"}, {}},
      {"serial number refused", 0, kReader, kReader, 1, 0x0101, 5, {"P1", "Fictus S10 Swipe", ""},
       ModelCapabilities(0x0101)},
      {"address without slash", 7, "COM3", "SERIAL://COM3", 1, 0x0151, 0, {"COM3", "Fictus M60 Mobile", "12345"},
       ModelCapabilities(0x0151)},
  };
  for (const auto& c : cases) {
    standin.BrannetStandin_Reset();
    if (c.reader != nullptr) {
      standin.BrannetStandin_SetConnected(c.reader, c.connected);
      standin.BrannetStandin_SetProductId(c.reader, c.productId);
      standin.BrannetStandin_SetResultCode(c.reader, c.resultCode);
      standin.BrannetStandin_SetReply(c.reader, "0003", "3132333435");
    }
    BrannetIDevice& device = Make(c.connectionType, c.address);
    EXPECT_EQ(device.GetConnectionState(), kStateDisconnected) << c.name;
    EXPECT_EQ(Fields(device.GetDeviceInfo()), Fields(c.info)) << c.name;
    EXPECT_EQ(Fields(device.GetDeviceCapabilities()), Fields(c.capabilities)) << c.name;
    EXPECT_EQ(device.GetName(), c.info.Name) << c.name;
    const bool connected = c.reader != nullptr && c.connected != 0;
    EXPECT_EQ(device.GetConnectionState(), connected ? kStateConnected : kStateDisconnected) << c.name;
    EXPECT_EQ(device.GetDeviceConfiguration(), nullptr);
  }
}

TEST_F(BrannetDevice, SendSyncGivesTheReplyOnlyWhenConnectedAndTheResultCodeIsZero) {
  const struct {
    const char* name; bool open; int connected; const char* reply; int resultCode; uint32_t status; std::string data;
    bool sent;
  } cases[] = {
      {"reply in upper case", true, 1, "ab01", 0, 0, "AB01", true},
      {"non-zero result code", true, 1, "ab01", 5, 2, "", true},
      {"null reply", true, 1, nullptr, 0, 0, "", true},
      {"odd reply", true, 1, "ABC", 0, 0, "", true},
      {"not connected", true, 0, "ab01", 0, 3, "", false},
      {"not open", false, 1, "ab01", 0, 3, "", false},
  };
  for (const auto& c : cases) {
    standin.BrannetStandin_Reset();
    standin.BrannetStandin_SetConnected(kReader, c.connected);
    standin.BrannetStandin_SetResultCode(kReader, c.resultCode);
    standin.BrannetStandin_SetReply(kReader, "C0DE", c.reply);
    BrannetIDevice& device = Make(0, kReader);
    if (c.open) {
      ASSERT_TRUE(Control(device).Open()) << c.name;
    }
    standin.BrannetStandin_ClearCallLog();
    const DeviceResponse response = Control(device).SendSync(ByteDataRecord("C0DE"));
    EXPECT_EQ(response.Status, c.status) << c.name;
    EXPECT_EQ(response.Data.Text, c.data) << c.name;
    EXPECT_EQ(response.Data.Bytes, HexPairsToBytes(c.data)) << c.name;
    EXPECT_EQ(SentCommands(), c.sent ? std::vector<std::string>{"C0DE"} : std::vector<std::string>{}) << c.name;
  }
}

TEST_F(BrannetDevice, ControlOpensClosesAndReopensItsOwnHandle) {
  standin.BrannetStandin_SetProductId(kReader, 0x0121);
  standin.BrannetStandin_SetResultCode(kReader, 7);
  BrannetIDeviceControl& control = Control(Make(0, kReader));
  EXPECT_EQ(control.GetResultCode(), -2);
  EXPECT_EQ(control.GetProductId(), 0);
  EXPECT_FALSE(control.IsDeviceConnected());
  EXPECT_FALSE(control.DeviceReset());
  EXPECT_FALSE(control.Send(ByteDataRecord("AA")));
  EXPECT_TRUE(control.Close());
  EXPECT_EQ(standin.CallLog(), "");

  ASSERT_TRUE(control.Open());
  const intptr_t first = standin.BrannetStandin_OpenHandle(kReader);
  const std::string h1 = std::to_string(first);
  EXPECT_EQ(standin.CallLog(), "OpenDeviceEx(\"HID://P1\")\nOnDeviceConnectionStateChangedEx(" + h1 +
                                   ")\nOnDataReceivedEx(" + h1 + ")\nOnDeviceResponseEx(" + h1 +
                                   ")\nOnNotificationDataEx(" + h1 + ")\n");
  EXPECT_EQ(control.GetProductId(), 0x0121);
  EXPECT_EQ(control.GetResultCode(), 7);

  // Connected: the link stays.
  standin.BrannetStandin_ClearCallLog();
  ASSERT_TRUE(control.Open());
  EXPECT_EQ(standin.CallLog(), "IsDeviceConnectedEx(" + h1 + ")\n");
  // Not connected: it is closed and opened anew.
  standin.BrannetStandin_SetConnected(kReader, 0);
  standin.BrannetStandin_ClearCallLog();
  ASSERT_TRUE(control.Open());
  standin.BrannetStandin_SetConnected(kReader, 1);
  const intptr_t second = standin.BrannetStandin_OpenHandle(kReader);
  EXPECT_NE(second, first);
  EXPECT_EQ(standin.Calls("CloseDeviceEx"), std::vector<std::string>{"CloseDeviceEx(" + h1 + ")"});
  EXPECT_LT(standin.CallLog().find("CloseDeviceEx("), standin.CallLog().find("OpenDeviceEx("))
      << "the old handle closes before the new one opens";
  EXPECT_EQ(standin.BrannetStandin_FireConnectionState(first, 1), 0);

  standin.BrannetStandin_SetSendResult(kReader, 3);
  EXPECT_FALSE(control.Send(ByteDataRecord("AA0")));
  standin.BrannetStandin_SetSendResult(kReader, 0);
  EXPECT_TRUE(control.Send(ByteDataRecord("AA0")));
  EXPECT_EQ(standin.Calls("SendDataEx").back(), "SendDataEx(" + std::to_string(second) + ", \"AA0\")");

  standin.BrannetStandin_ClearCallLog();
  EXPECT_TRUE(control.Close());
  EXPECT_TRUE(control.Close());
  EXPECT_EQ(standin.CallLog(), "CloseDeviceEx(" + std::to_string(second) + ")\n");
  EXPECT_FALSE(control.IsDeviceConnected());
}

// The library's open is held while another thread closes: the close waits
// for the open, then closes the new handle, on which nothing is registered
// after its close.
TEST_F(BrannetDevice, ACloseDuringAnOpenWaitsForItAndThenClosesTheNewHandle) {
  standin.BrannetStandin_AddDevice(kReader);
  BrannetIDeviceControl& control = Control(Make(0, kReader));
  standin.BrannetStandin_HoldOpen(1);
  auto opening = std::async(std::launch::async, [&] { return control.Open(); });
  ASSERT_EQ(standin.BrannetStandin_WaitOpenHeld(static_cast<int>(kRoomyWait.count())), 1);
  auto closing = std::async(std::launch::async, [&] { return control.Close(); });
  EXPECT_EQ(closing.wait_for(200ms), std::future_status::timeout) << "Close returned during the open";
  standin.BrannetStandin_HoldOpen(0);
  ASSERT_EQ(opening.wait_for(kRoomyWait), std::future_status::ready);
  ASSERT_EQ(closing.wait_for(kRoomyWait), std::future_status::ready);
  EXPECT_TRUE(opening.get());
  EXPECT_TRUE(closing.get());
  const std::string log = standin.CallLog();
  const size_t closed = log.find("CloseDeviceEx(");
  ASSERT_NE(closed, std::string::npos) << log;
  EXPECT_EQ(log.find("On", closed), std::string::npos) << log;
  EXPECT_EQ(standin.Calls("OnNotificationDataEx").size(), 1u) << log;
  EXPECT_EQ(standin.BrannetStandin_OpenHandle(kReader), 0);
  EXPECT_FALSE(control.IsDeviceConnected());
}

TEST_F(BrannetDevice, CallbacksBecomeEventsOnTheLibrarysThreadInOrder) {
  BrannetIDevice& device = Opened();
  const intptr_t handle = standin.BrannetStandin_OpenHandle(kReader);
  auto recorder = std::make_shared<EventRecorder>();
  auto fireAll = [&] {
    standin.BrannetStandin_FireConnectionState(handle, 1);
    standin.BrannetStandin_FireConnectionState(handle, 0);
    standin.BrannetStandin_FireConnectionState(handle, 0x100);
    standin.BrannetStandin_FireDataReceived(handle, "D1");
    standin.BrannetStandin_FireDeviceResponse(handle, "R1");
    standin.BrannetStandin_FireDataReceived(handle, nullptr);
    standin.BrannetStandin_FireDeviceResponse(handle, nullptr);
    for (uint32_t code = 0x2FF; code <= 0x306; ++code) {
      standin.BrannetStandin_FireNotification(handle, code, ("N" + std::to_string(code)).c_str());
    }
    standin.BrannetStandin_FireNotification(handle, 0x300, nullptr);
    standin.BrannetStandin_WaitDelivered(handle);
  };
  fireAll();
  EXPECT_TRUE(recorder->Events().empty());

  device.SubscribeAll(recorder);
  fireAll();
  const std::vector<Event> expected = {
      {0, "04"},   {0, "01"},   {0, "01"},   {4, "D1"},   {1, "R1"},   {4, ""},     {1, ""},
      {5, "N768"}, {6, "N769"}, {7, "N770"}, {8, "N771"}, {9, "N772"}, {10, "N773"}, {5, ""},
  };
  EXPECT_EQ(recorder->Events(), expected);
  for (std::thread::id thread : recorder->Threads()) EXPECT_NE(thread, std::this_thread::get_id());

  device.UnsubscribeAll();
  fireAll();
  EXPECT_EQ(recorder->Events().size(), expected.size());
}

TEST_F(BrannetDevice, ReleasingWhileCallbacksFireEndsThemFirst) {
  BrannetIDevice& device = Opened();
  const intptr_t handle = standin.BrannetStandin_OpenHandle(kReader);
  auto recorder = std::make_shared<EventRecorder>();
  device.SubscribeAll(recorder);
  // Ends when the handle is closed.
  std::thread firing([&] {
    for (int fired = 1; standin.BrannetStandin_FireNotification(handle, 0x300, "card_swiped") != 0; ++fired) {
      if (fired % 64 == 0) std::this_thread::sleep_for(100us);
    }
  });
  EXPECT_TRUE(Eventually([&] { return recorder->Events().size() >= 20; }));
  device.Close();
  Release(&device);
  const size_t delivered = recorder->Events().size();
  firing.join();
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(recorder->Events().size(), delivered);
}

TEST_F(BrannetDevice, SubscriberMayReleaseItsDeviceFromInsideAnEvent) {
  struct Releaser : IEventSubscriber {
    std::function<void()> release;
    std::atomic<int> events{0};
    std::promise<void> released;
    void OnEvent(int, ByteDataRecord) override {
      if (++events > 1) return;
      release();
      released.set_value();
    }
  };
  auto releaser = std::make_shared<Releaser>();
  std::future<void> released = releaser->released.get_future();
  BrannetIDevice& device = Opened();
  const intptr_t handle = standin.BrannetStandin_OpenHandle(kReader);
  releaser->release = [&] {
    device.Close();
    Release(&device);
  };
  device.SubscribeAll(releaser);
  // The device holds the releaser until it is destroyed.
  const std::weak_ptr<Releaser> subscribed = std::exchange(releaser, nullptr);
  for (int i = 0; i < 5; ++i) standin.BrannetStandin_FireDeviceResponse(handle, "R");
  ASSERT_EQ(released.wait_for(kRoomyWait), std::future_status::ready);
  // The close and the destruction went on without the listener, which the
  // library's close waits for.
  EXPECT_TRUE(Eventually([&] { return subscribed.expired(); }));
  EXPECT_EQ(standin.BrannetStandin_FireDeviceResponse(handle, "R"), 0);
  EXPECT_EQ(standin.Calls("CloseDeviceEx"), std::vector<std::string>{"CloseDeviceEx(" + std::to_string(handle) + ")"});
}

TEST_F(BrannetDevice, ReleasingAnOpenDeviceClosesItsLink) {
  BrannetIDevice& device = Opened();
  const intptr_t handle = standin.BrannetStandin_OpenHandle(kReader);
  Release(&device);
  EXPECT_EQ(standin.Calls("CloseDeviceEx"), std::vector<std::string>{"CloseDeviceEx(" + std::to_string(handle) + ")"});
  EXPECT_EQ(standin.BrannetStandin_FireConnectionState(handle, 1), 0);
}

}  // namespace
}  // namespace pelorixj
