// The binding without the library, and with libraries that lack one export.
// Each suite expects its own folder on the library search path (see
// CMakeLists.txt): the binding loads once per process.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "pelorixj/brannet/brannet_devices.h"
#include "pelorixj/brannet/brannet_idevice.h"
#include "pelorixj/brannet/brannet_library.h"
#include "standin_control.h"

namespace pelorixj {
namespace {

// The failure text of the call, or "no failure".
std::string Failure(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "no failure";
}

std::string FailureOf(const char* wrapper) { return std::string("Function (") + wrapper + ") initialize failed."; }

// Destroys the device at the end of a test.
struct Made {
  explicit Made(IDevice* d) : device(static_cast<BrannetIDevice*>(d)) {}
  ~Made() { delete device; }
  BrannetIDevice* device;
};

TEST(BrannetAbsent, EveryWrapperFailsWithItsOwnTextAndListingIsEmpty) {
  const BrannetLibrary& b = Brannet();
  ASSERT_FALSE(b.IsLoaded());
  const struct {
    const char* wrapper; std::function<void()> call;
  } wrappers[] = {
      {"getDeviceList", [&] { b.getDeviceList(); }},
      {"openDevice", [&] { b.openDevice("HID://A"); }},
      {"closeDevice", [&] { b.closeDevice(1); }},
      {"isDeviceConnected", [&] { b.isDeviceConnected(1); }},
      {"sendCommand", [&] { b.sendCommand(1, "0003"); }},
      {"sendData", [&] { b.sendData(1, "00"); }},
      {"getResultCode", [&] { b.getResultCode(1); }},
      {"getProductId", [&] { b.getProductId(1); }},
      {"setOnDeviceConnectionStateChanged", [&] { b.setOnDeviceConnectionStateChanged(1, nullptr, nullptr); }},
      {"setOnCardDataCallback", [&] { b.setOnCardDataCallback(1, nullptr, nullptr); }},
      {"setOnDeviceResponse", [&] { b.setOnDeviceResponse(1, nullptr, nullptr); }},
      {"setOnNotificationData", [&] { b.setOnNotificationData(1, nullptr, nullptr); }},
      {"getDeviceList", [&] { b.BuildOpenPath(0, ""); }},
  };
  for (const auto& w : wrappers) EXPECT_EQ(Failure(w.call), FailureOf(w.wrapper));
  for (uint32_t connectionType = 0; connectionType <= 8; ++connectionType) {
    EXPECT_TRUE(ListBrannetDevices(connectionType).empty()) << connectionType;
  }
}

TEST(BrannetAbsent, DevicesAnswerWithoutTheLibraryUntilTheyMustOpen) {
  Made serial(GetBrannetDevice(7, "COM3"));
  EXPECT_EQ(Failure([&] { serial.device->GetDeviceInfo(); }), FailureOf("openDevice"));
  EXPECT_EQ(Failure([&] { serial.device->GetDeviceCapabilities(); }), FailureOf("openDevice"));
  Made usb(GetBrannetDevice(0, ""));
  EXPECT_EQ(Failure([&] { usb.device->GetDeviceInfo(); }), FailureOf("getDeviceList"));

  IDeviceControl* control = serial.device->GetDeviceControl();
  const DeviceResponse response = control->SendSync(ByteDataRecord("0003"));
  EXPECT_EQ(response.Status, kResponseNotOpen);
  EXPECT_EQ(response.Data.Text, "");
  EXPECT_FALSE(control->DeviceReset());
  EXPECT_TRUE(control->Close());
  EXPECT_EQ(serial.device->GetConnectionState(), kStateDisconnected);
  EXPECT_FALSE(serial.device->StartTransaction(TransactionRequest{}));
  EXPECT_FALSE(serial.device->CancelTransaction());
}

TEST(BrannetWithoutDeviceList, ListingFailsButDevicesWithAnAddressOpen) {
  ASSERT_TRUE(Brannet().IsLoaded());
  StandinControl standin;
  standin.BrannetStandin_Reset();
  standin.BrannetStandin_SetReply("SERIAL://COM3", "0003", "41");
  EXPECT_EQ(Failure([] { ListBrannetDevices(0); }), FailureOf("getDeviceList"));
  EXPECT_TRUE(ListBrannetDevices(4).empty());
  EXPECT_EQ(Failure([] { Brannet().BuildOpenPath(0, ""); }), FailureOf("getDeviceList"));
  Made serial(GetBrannetDevice(7, "COM3"));
  EXPECT_EQ(serial.device->GetDeviceInfo().Serial, "A");
}

TEST(BrannetWithoutDeviceResponse, OpenKeepsTheHandleAndTheFirstTwoRegistrations) {
  ASSERT_TRUE(Brannet().IsLoaded());
  StandinControl standin;
  standin.BrannetStandin_Reset();
  standin.BrannetStandin_AddDevice("HID://P1");
  auto recorder = std::make_shared<EventRecorder>();
  Made made(GetBrannetDevice(0, "HID://P1"));
  made.device->SubscribeAll(recorder);

  EXPECT_EQ(Failure([&] { made.device->GetDeviceControl()->Open(); }), FailureOf("setOnDeviceResponse"));
  const intptr_t handle = standin.BrannetStandin_OpenHandle("HID://P1");
  ASSERT_NE(handle, 0);
  const std::string h = std::to_string(handle);
  EXPECT_EQ(standin.CallLog(), "OpenDeviceEx(\"HID://P1\")\nOnDeviceConnectionStateChangedEx(" + h +
                                   ")\nOnDataReceivedEx(" + h + ")\n");
  EXPECT_EQ(made.device->GetConnectionState(), kStateConnected);

  standin.BrannetStandin_FireConnectionState(handle, 1);
  standin.BrannetStandin_FireDataReceived(handle, "D1");
  standin.BrannetStandin_FireDeviceResponse(handle, "R1");
  standin.BrannetStandin_FireNotification(handle, 0x300, "N");
  standin.BrannetStandin_WaitDelivered(handle);
  EXPECT_EQ(recorder->Events(), (std::vector<Event>{{0, "04"}, {4, "D1"}}));

  EXPECT_TRUE(made.device->Close());
  EXPECT_EQ(standin.Calls("CloseDeviceEx"), std::vector<std::string>{"CloseDeviceEx(" + h + ")"});
}

}  // namespace
}  // namespace pelorixj
