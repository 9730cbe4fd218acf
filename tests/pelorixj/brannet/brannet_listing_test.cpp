// Open paths, listing, the registry and release, through the complete
// stand-in library on the search path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pelorixj/brannet/brannet_device_registry.h"
#include "pelorixj/brannet/brannet_devices.h"
#include "pelorixj/brannet/brannet_idevice.h"
#include "pelorixj/brannet/brannet_library.h"
#include "standin_control.h"

namespace pelorixj {
namespace {

class BrannetListing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Brannet().IsLoaded()) << "the complete stand-in must be on the library search path";
    standin.BrannetStandin_Reset();
  }
  void TearDown() override {
    for (const auto& entry : BrannetDeviceRegistry().Entries()) delete entry.second;
  }

  std::vector<std::string> Addresses(const std::vector<IDevice*>& devices) {
    std::vector<std::string> addresses;
    for (IDevice* device : devices) addresses.push_back(device->GetConnectionInfo().Address);
    return addresses;
  }

  StandinControl standin;
};

TEST_F(BrannetListing, OpenPathsFollowTheConnectionTypeAndTheDeviceList) {
  const struct {
    uint32_t connectionType; std::string path; const char* list; std::string openPath;
  } cases[] = {
      {7, "COM3", nullptr, "SERIAL://COM3"},
      {7, "SERIAL://COM3", nullptr, "SERIAL://COM3"},
      {2, "BLEEMV://A1", nullptr, "BLEEMV://A1"},
      {3, "T9", nullptr, "BLEEMVT://T9"},
      {0, "P7", nullptr, "HID://P7"},
      {0, "", "BLE://X,HID://P1,HID://P2", "HID://P1"},
      {0, "", "HID://,XHID://Q9,HID://R", "HID://Q9"},
      {0, "", "BLE://X,hid://p1", ""},
      {0, "", nullptr, ""},
      {1, "BLE://B", "BLE://B", ""},
      {4, "tcp://host", "HID://P1", ""},
      {8, "x", "HID://P1", ""},
  };
  for (const auto& c : cases) {
    standin.BrannetStandin_SetDeviceList(c.list);
    standin.BrannetStandin_ClearCallLog();
    EXPECT_EQ(Brannet().BuildOpenPath(c.connectionType, c.path), c.openPath) << c.connectionType << " " << c.path;
    const bool listAsked = c.connectionType == 0 && c.path.empty();
    EXPECT_EQ(standin.CallLog(), listAsked ? "GetDeviceList()\n" : "") << c.connectionType << " " << c.path;
  }
}

TEST_F(BrannetListing, ListsEachAddressOnceUpperCasedAndTheSameObjectsAgain) {
  const struct {
    const char* list; uint32_t connectionType; std::vector<std::string> addresses;
  } cases[] = {
      {"hid://a,ble://b,BLE://C", 1, {"BLE://B", "BLE://C"}},
      {"hid://a,HID://A,Hid://a,hid://b", 0, {"HID://A", "HID://B"}},
      {"BLEEMV://E,BLEEMVT://T,BLE://B", 2, {"BLEEMV://E"}},
      {"BLEEMV://E,BLEEMVT://T", 3, {"BLEEMVT://T"}},
      {"serial://com1, SERIAL://COM2", 7, {"SERIAL://COM1"}},
      {"", 0, {}},
      {nullptr, 0, {}},
  };
  for (const auto& c : cases) {
    standin.BrannetStandin_SetDeviceList(c.list);
    const std::vector<IDevice*> first = ListBrannetDevices(c.connectionType);
    EXPECT_EQ(Addresses(first), c.addresses) << (c.list ? c.list : "null");
    EXPECT_EQ(ListBrannetDevices(c.connectionType), first) << (c.list ? c.list : "null");
    for (IDevice* device : first) {
      EXPECT_EQ(BrannetDeviceRegistry().Find(device->GetConnectionInfo().Address), device);
      EXPECT_EQ(device->GetConnectionInfo().DeviceType, 0u);
      EXPECT_EQ(device->GetConnectionInfo().ConnectionType, c.connectionType);
    }
  }
}

TEST_F(BrannetListing, TypesWithoutAPrefixListNothingWithoutAskingTheLibrary) {
  standin.BrannetStandin_SetDeviceList("HID://A,BLE://B,SERIAL://C");
  for (uint32_t connectionType : {4u, 5u, 6u, 8u, 9u}) EXPECT_TRUE(ListBrannetDevices(connectionType).empty());
  EXPECT_EQ(standin.CallLog(), "");
  EXPECT_EQ(GetBrannetConnectionTypes(), (std::vector<uint32_t>{0, 1, 2, 3, 7}));
}

TEST_F(BrannetListing, GetDeviceGivesOnlyAnExactlyRegisteredAddressAndEachDeviceDropsOnlyItsOwnEntry) {
  standin.BrannetStandin_SetDeviceList("hid://a");
  IDevice* unregistered = GetBrannetDevice(0, "HID://A");
  IDevice* listed = ListBrannetDevices(0).at(0);
  ASSERT_NE(unregistered, listed);
  EXPECT_EQ(GetBrannetDevice(0, "HID://A"), listed);
  IDevice* otherCase = GetBrannetDevice(0, "hid://a");
  EXPECT_NE(otherCase, listed);
  EXPECT_EQ(otherCase->GetConnectionInfo().Address, "hid://a");
  delete otherCase;
  delete unregistered;
  EXPECT_EQ(ListBrannetDevices(0).at(0), listed);
  EXPECT_EQ(BrannetDeviceRegistry().Entries().size(), 1u);

  ForgetBrannetDevice(listed);
  EXPECT_EQ(BrannetDeviceRegistry().Find("HID://A"), nullptr);
  IDevice* relisted = ListBrannetDevices(0).at(0);
  EXPECT_NE(relisted, listed);
  delete listed;
  EXPECT_EQ(BrannetDeviceRegistry().Find("HID://A"), relisted);
}

}  // namespace
}  // namespace pelorixj
