// The newer platform's control and configuration where Quorlan, or one of
// its exports, is missing. Run by ctest with the matching stand-in folder
// (or none) in LD_LIBRARY_PATH, as the binding's table tests are.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/orvane_device_configuration.h"
#include "pelorixj/device/orvane_device_control.h"
#include "pelorixj/device/orvane_devices.h"
#include "pelorixj/device/orvane_idevice.h"

namespace pelorixj {
namespace {

// The result as text, or the text of what was thrown.
std::string Outcome(const std::function<std::string()>& call) {
  try {
    return call();
  } catch (const std::exception& e) {
    return std::string("threw ") + e.what();
  }
}

std::string Flag(bool value) { return value ? "true" : "false"; }

TEST(ControlWithoutQuorlan, FailsAsTheMissingOperationsDoOrWithItsFailureResult) {
  OrvaneIDeviceControl control(kConnectionTcp, "tcp://127.0.0.1:9");
  OrvaneDeviceConfiguration configuration(&control);
  const std::string cases[][2] = {
      {Outcome([&] { return Flag(control.Open()); }), "threw Function (isDeviceOpened) initialize failed."},
      {Outcome([&] { return Flag(control.DeviceReset()); }), "threw Function (isDeviceOpened) initialize failed."},
      {Outcome([&] { return Flag(control.ShowBarCode({}, 0, nullptr)); }),
       "threw Function (createCommand) initialize failed."},
      {Outcome([&] { return Flag(control.ShowImageObject({}, 0)); }),
       "threw Function (createCommand) initialize failed."},
      {Outcome([&] { return Flag(control.DisplayMessage(1, 2)); }), "false"},
      {Outcome([&] { return Flag(control.Close()); }), "true"},
      {Outcome([&] { return control.SendSyncWithTimeout("AA00", 10); }), "threw Device is not opened."},
      {Outcome([&] { return configuration.GetDeviceInfo(1); }), ""},
      {Outcome([&] { return std::to_string(configuration.SetConfigInfo(0, {1}, nullptr)); }), "2"},
      {Outcome([&] { return std::to_string(configuration.GetChallengeToken({1, 2}).size()); }), "0"},
  };
  for (const auto& [outcome, expected] : cases) EXPECT_EQ(outcome, expected);
  EXPECT_FALSE(control.IsOpened());
}

TEST(DeviceWithoutQuorlan, ListsNothingAndFailsAsTheMissingOperationsDo) {
  EXPECT_TRUE(ListOrvaneDevices(kConnectionUsb).empty());
  auto* device = static_cast<OrvaneIDevice*>(GetOrvaneDevice(kConnectionUsb, ""));
  EXPECT_EQ(device->GetConnectionInfo().Address, "");
  const std::string cases[][2] = {
      {Outcome([&] { return Flag(device->StartTransaction({})); }),
       "threw Function (isDeviceOpened) initialize failed."},
      {Outcome([&] { return Flag(device->RequestPIN({})); }), "false"},
      {Outcome([&] { return Flag(device->GetDeviceConfiguration() != nullptr); }),
       "threw Function (isDeviceOpened) initialize failed."},
      {Outcome([&] {
         device->OnDataArrive("AA00");
         return std::string("handled");
       }),
       "threw Function (isNotification) initialize failed."},
      {Outcome([&] { return Flag(device->Close()); }), "true"},
  };
  for (const auto& [outcome, expected] : cases) EXPECT_EQ(outcome, expected);
  delete device;
}

TEST(ControlStandinLackingSendAndReceive, ReportsTheFailedExchangeInItsOwnWay) {
  OrvaneIDeviceControl control(kConnectionTcp, "tcp://127.0.0.1:9");
  OrvaneDeviceConfiguration configuration(&control);
  ASSERT_TRUE(control.Open());
  EXPECT_EQ(control.SendSync(ByteDataRecord("AA00")).Status, 2u);
  EXPECT_EQ(Outcome([&] { return control.SendSyncWithTimeout("AA00", 10); }),
            "threw Function (sendAndReceiveMessage) initialize failed.");
  EXPECT_FALSE(control.ShowImage(1));
  EXPECT_EQ(configuration.UpdateKeyInfo(0, {1}, nullptr), 2);
  control.Close();
}

}  // namespace
}  // namespace pelorixj
