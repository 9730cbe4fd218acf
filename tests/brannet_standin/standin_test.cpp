// The stand-in older-family library, loaded by file name from each variant's
// folder as Pelorixj loads it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "eventually.h"
#include "pelorixj/brannet/brannet_functions.h"
#include "brannet/standin_control.h"
#include "brannet_module.h"

namespace brannet_standin_test {
namespace {

using namespace std::chrono_literals;
using test_support::Eventually;
using test_support::kRoomyWait;

std::string Folder(const std::string& variant) {
  return std::string(BRANNET_STANDIN_ROOT) + "/" + variant;
}

#define BRANNET_FUNCTION(name) decltype(&::name) name = module.Get<decltype(&::name)>(#name)

struct Standin {
  BrannetModule module{Folder("complete")};
  BRANNET_FUNCTION(GetDeviceList);
  BRANNET_FUNCTION(OpenDeviceEx);
  BRANNET_FUNCTION(CloseDeviceEx);
  BRANNET_FUNCTION(IsDeviceConnectedEx);
  BRANNET_FUNCTION(SendCommandEx);
  BRANNET_FUNCTION(SendDataEx);
  BRANNET_FUNCTION(GetResultCodeEx);
  BRANNET_FUNCTION(GetProductIDEx);
  BRANNET_FUNCTION(OnDataReceivedEx);
  BRANNET_FUNCTION(OnNotificationDataEx);
  BRANNET_FUNCTION(OnDeviceResponseEx);
  BRANNET_FUNCTION(OnDeviceConnectionStateChangedEx);
  BRANNET_FUNCTION(BrannetStandin_SetDeviceList);
  BRANNET_FUNCTION(BrannetStandin_AddDevice);
  BRANNET_FUNCTION(BrannetStandin_SetConnected);
  BRANNET_FUNCTION(BrannetStandin_SetProductId);
  BRANNET_FUNCTION(BrannetStandin_SetResultCode);
  BRANNET_FUNCTION(BrannetStandin_SetSendResult);
  BRANNET_FUNCTION(BrannetStandin_SetReply);
  BRANNET_FUNCTION(BrannetStandin_OpenHandle);
  BRANNET_FUNCTION(BrannetStandin_FireConnectionState);
  BRANNET_FUNCTION(BrannetStandin_FireDataReceived);
  BRANNET_FUNCTION(BrannetStandin_FireDeviceResponse);
  BRANNET_FUNCTION(BrannetStandin_FireNotification);
  BRANNET_FUNCTION(BrannetStandin_WaitDelivered);
  BRANNET_FUNCTION(BrannetStandin_CallLog);

  std::string CallLog() const {
    std::string log(BrannetStandin_CallLog(nullptr, 0) + 1, '\0');
    log.resize(BrannetStandin_CallLog(&log[0], log.size()));
    return log;
  }
};

std::string Text(const char* text) { return text ? text : "(null)"; }

TEST(BrannetStandin, EachVariantExportsAllButItsMissingFunction) {
  const std::vector<std::string> names = {
      "GetDeviceList",          "OpenDeviceEx",         "CloseDeviceEx",
      "IsDeviceConnectedEx",    "SendCommandEx",        "GetCardDataStructureEx",
      "ClearCardDataEx",        "SendDataEx",           "GetResultCodeEx",
      "GetProductIDEx",         "OnDataReceivedEx",     "OnNotificationDataEx",
      "OnDeviceResponseEx",     "OnDeviceConnectionStateChangedEx"};
  const struct {
    std::string variant;
    bool loads;
    std::string missing;
  } variants[] = {
      {"complete", true, ""},
      {"no_device_list", true, "GetDeviceList"},
      {"no_device_response", true, "OnDeviceResponseEx"},
      {"absent", false, ""},
  };
  for (const auto& variant : variants) {
    const BrannetModule module(Folder(variant.variant));
    ASSERT_EQ(module.Loaded(), variant.loads) << variant.variant;
    for (const auto& name : names) {
      const bool expected = variant.loads && name != variant.missing;
      EXPECT_EQ(module.Find(name.c_str()) != nullptr, expected) << variant.variant << " " << name;
    }
    EXPECT_EQ(module.Find("BrannetStandin_Reset") != nullptr, variant.loads) << variant.variant;
  }
}

TEST(BrannetStandin, AnswersFromTheReadersSettingsAndLogsEveryCall) {
  Standin s;
  EXPECT_EQ(s.GetDeviceList(), nullptr);
  s.BrannetStandin_SetDeviceList("HID://P1,BLE://B2");
  EXPECT_EQ(Text(s.GetDeviceList()), "HID://P1,BLE://B2");

  s.BrannetStandin_AddDevice("HID://P1");
  s.BrannetStandin_SetProductId("SERIAL://COM3", 0x21);
  s.BrannetStandin_SetResultCode("SERIAL://COM3", 5);
  s.BrannetStandin_SetSendResult("SERIAL://COM3", 7);
  s.BrannetStandin_SetReply("SERIAL://COM3", "0003", "3132");
  s.BrannetStandin_SetReply("SERIAL://COM3", "02", nullptr);

  EXPECT_EQ(s.OpenDeviceEx("HID://P9"), 0);
  EXPECT_EQ(s.OpenDeviceEx("hid://p1"), 0);
  const intptr_t plain = s.OpenDeviceEx("HID://P1");
  const intptr_t serial = s.OpenDeviceEx("SERIAL://COM3");
  ASSERT_NE(plain, 0);
  ASSERT_NE(serial, 0);
  EXPECT_NE(plain, serial);
  EXPECT_GT(static_cast<int64_t>(plain), int64_t{0xFFFFFFFF}) << "handles need all their bits";
  EXPECT_EQ(s.BrannetStandin_OpenHandle("SERIAL://COM3"), serial);

  const struct {
    intptr_t handle;
    int connected, productId, resultCode, sendResult;
  } expected[] = {{plain, 1, 0, 0, 0}, {serial, 1, 0x21, 5, 7}};
  for (const auto& row : expected) {
    EXPECT_EQ(s.IsDeviceConnectedEx(row.handle), row.connected);
    EXPECT_EQ(s.GetProductIDEx(row.handle), row.productId);
    EXPECT_EQ(s.GetResultCodeEx(row.handle), row.resultCode);
    EXPECT_EQ(s.SendDataEx(row.handle, "AA"), row.sendResult);
  }
  EXPECT_EQ(Text(s.SendCommandEx(serial, "0003")), "3132");
  EXPECT_EQ(Text(s.SendCommandEx(serial, "02")), "(null)");
  EXPECT_EQ(Text(s.SendCommandEx(serial, "0004")), "");
  EXPECT_EQ(Text(s.SendCommandEx(plain, "0003")), "");

  s.BrannetStandin_SetConnected("SERIAL://COM3", 0);
  EXPECT_EQ(s.IsDeviceConnectedEx(serial), 0);
  s.CloseDeviceEx(plain);
  EXPECT_EQ(s.IsDeviceConnectedEx(plain), 0);
  EXPECT_EQ(s.BrannetStandin_OpenHandle("HID://P1"), 0);
  s.OnDataReceivedEx(serial, nullptr, nullptr);
  s.SendDataEx(serial, nullptr);

  const std::string p = std::to_string(plain);
  const std::string c = std::to_string(serial);
  EXPECT_EQ(s.CallLog(),
            "GetDeviceList()\n"
            "GetDeviceList()\n"
            "OpenDeviceEx(\"HID://P9\")\n"
            "OpenDeviceEx(\"hid://p1\")\n"
            "OpenDeviceEx(\"HID://P1\")\n"
            "OpenDeviceEx(\"SERIAL://COM3\")\n"
            "IsDeviceConnectedEx(" + p + ")\nGetProductIDEx(" + p + ")\n"
            "GetResultCodeEx(" + p + ")\nSendDataEx(" + p + ", \"AA\")\n"
            "IsDeviceConnectedEx(" + c + ")\nGetProductIDEx(" + c + ")\n"
            "GetResultCodeEx(" + c + ")\nSendDataEx(" + c + ", \"AA\")\n"
            "SendCommandEx(" + c + ", \"0003\")\n"
            "SendCommandEx(" + c + ", \"02\")\n"
            "SendCommandEx(" + c + ", \"0004\")\n"
            "SendCommandEx(" + p + ", \"0003\")\n"
            "IsDeviceConnectedEx(" + c + ")\n"
            "CloseDeviceEx(" + p + ")\n"
            "IsDeviceConnectedEx(" + p + ")\n"
            "OnDataReceivedEx(" + c + ")\n"
            "SendDataEx(" + c + ", null)\n");
}

struct Recorder {
  std::mutex mutex;
  std::vector<std::string> calls;
  std::set<std::thread::id> threads;

  static void Add(void* context, intptr_t handle, const std::string& call) {
    auto* self = static_cast<Recorder*>(context);
    std::lock_guard<std::mutex> lock(self->mutex);
    self->calls.push_back(std::to_string(handle) + " " + call);
    self->threads.insert(std::this_thread::get_id());
  }
};

void OnState(intptr_t handle, void* context, int connected) {
  Recorder::Add(context, handle, "state " + std::to_string(connected));
}
void OnData(intptr_t handle, void* context, const char* text) {
  Recorder::Add(context, handle, "data " + Text(text));
}
void OnResponse(intptr_t handle, void* context, const char* text) {
  Recorder::Add(context, handle, "response " + Text(text));
}
void OnNotification(intptr_t handle, void* context, uint32_t code, const char* text) {
  Recorder::Add(context, handle, "notification " + std::to_string(code) + " " + Text(text));
}

TEST(BrannetStandin, DeliversCuesInOrderOnTheHandlesOwnThread) {
  Standin s;
  s.BrannetStandin_AddDevice("HID://P1");
  const intptr_t handle = s.OpenDeviceEx("HID://P1");
  EXPECT_EQ(s.BrannetStandin_FireDataReceived(handle, "before registration"), 1);
  s.BrannetStandin_WaitDelivered(handle);

  Recorder recorder;
  s.OnDeviceConnectionStateChangedEx(handle, OnState, &recorder);
  s.OnDataReceivedEx(handle, OnData, &recorder);
  s.OnDeviceResponseEx(handle, OnResponse, &recorder);
  s.OnNotificationDataEx(handle, OnNotification, &recorder);
  const int rounds = 50;
  for (int i = 0; i < rounds; ++i) {
    s.BrannetStandin_FireConnectionState(handle, i);
    s.BrannetStandin_FireDataReceived(handle, "d");
    s.BrannetStandin_FireDeviceResponse(handle, nullptr);
    s.BrannetStandin_FireNotification(handle, 0x300 + i, "n");
  }
  s.BrannetStandin_WaitDelivered(handle);

  std::vector<std::string> expected;
  const std::string h = std::to_string(handle) + " ";
  for (int i = 0; i < rounds; ++i) {
    expected.push_back(h + "state " + std::to_string(i));
    expected.push_back(h + "data d");
    expected.push_back(h + "response (null)");
    expected.push_back(h + "notification " + std::to_string(0x300 + i) + " n");
  }
  EXPECT_EQ(recorder.calls, expected);
  ASSERT_EQ(recorder.threads.size(), 1u);
  EXPECT_NE(*recorder.threads.begin(), std::this_thread::get_id());

  s.CloseDeviceEx(handle);
  EXPECT_EQ(s.BrannetStandin_FireDataReceived(handle, "after close"), 0);
  EXPECT_EQ(recorder.calls.size(), expected.size());
}

struct Blocking {
  std::atomic<int> entered{0};
  std::atomic<bool> returned{false};
};

void SlowData(intptr_t, void* context, const char*) {
  auto* blocking = static_cast<Blocking*>(context);
  ++blocking->entered;
  std::this_thread::sleep_for(200ms);
  blocking->returned = true;
}

TEST(BrannetStandin, CloseWaitsForTheCallbackUnderWayAndDropsTheRest) {
  Standin s;
  s.BrannetStandin_AddDevice("HID://P1");
  const intptr_t handle = s.OpenDeviceEx("HID://P1");
  Blocking blocking;
  s.OnDataReceivedEx(handle, SlowData, &blocking);
  s.BrannetStandin_FireDataReceived(handle, "first");
  s.BrannetStandin_FireDataReceived(handle, "second");
  ASSERT_TRUE(Eventually([&] { return blocking.entered > 0; }));

  s.CloseDeviceEx(handle);
  EXPECT_TRUE(blocking.returned);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(blocking.entered, 1);
}

struct SelfClosing {
  decltype(&::CloseDeviceEx) close;
  std::promise<void> closed;
};

void CloseFromCallback(intptr_t handle, void* context, int) {
  auto* self = static_cast<SelfClosing*>(context);
  self->close(handle);
  self->closed.set_value();
}

TEST(BrannetStandin, CloseFromTheHandlesOwnCallbackReturns) {
  Standin s;
  s.BrannetStandin_AddDevice("HID://P1");
  const intptr_t handle = s.OpenDeviceEx("HID://P1");
  SelfClosing self{s.CloseDeviceEx, {}};
  s.OnDeviceConnectionStateChangedEx(handle, CloseFromCallback, &self);
  s.BrannetStandin_FireConnectionState(handle, 0);
  ASSERT_EQ(self.closed.get_future().wait_for(kRoomyWait), std::future_status::ready);
  EXPECT_EQ(s.BrannetStandin_OpenHandle("HID://P1"), 0);
}

}  // namespace
}  // namespace brannet_standin_test
