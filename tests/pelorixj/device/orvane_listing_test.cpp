// Listing, getting and releasing devices of the newer platform through a
// build of Quorlan whose USB HID readers the test lists (a virtual HID
// backend in place of the machine's), on the library search path.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "pelorixj/device/orvane_device_registry.h"
#include "pelorixj/device/orvane_devices.h"
#include "pelorixj/device/orvane_idevice.h"
#include "pelorixj/device/qrx_library.h"

namespace pelorixj {
namespace {

class OrvaneListing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Qrx().IsLoaded()) << "the listed-HID Quorlan must be on the library search path";
    ASSERT_TRUE(quorlan_.Load(kQuorlanLibraryFile));
    add_ = reinterpret_cast<AddFunction>(quorlan_.GetSymbol("ListedHid_Add"));
    unlist_ = reinterpret_cast<UnlistFunction>(quorlan_.GetSymbol("ListedHid_Unlist"));
    ASSERT_TRUE(add_ && unlist_) << "not the listed-HID Quorlan";
  }
  void TearDown() override {
    for (const auto& entry : OrvaneDeviceRegistry().Entries()) delete entry.second;
  }

  void AddReader(const std::string& path, const std::string& serial, const std::string& product = "Model Q") {
    add_(path.c_str(), serial.c_str(), product.c_str());
  }
  void Unlist(const std::string& path) { unlist_(path.c_str()); }

  static std::vector<std::string> Addresses(const std::vector<IDevice*>& devices) {
    std::vector<std::string> addresses;
    for (IDevice* device : devices) addresses.push_back(device->GetConnectionInfo().Address);
    return addresses;
  }

 private:
  using AddFunction = void (*)(const char*, const char*, const char*);
  using UnlistFunction = void (*)(const char*);
  DynamicLibrary quorlan_;
  AddFunction add_ = nullptr;
  UnlistFunction unlist_ = nullptr;
};

TEST_F(OrvaneListing, ListsEachReaderOnceWithItsEntrysInformation) {
  AddReader("/virtual/hid0", "SN-A", "Model \"A\"");
  AddReader("/virtual/hid1", "SN-B");
  const std::vector<IDevice*> devices = ListOrvaneDevices(kConnectionUsb);
  ASSERT_EQ(devices.size(), 2u);
  const DeviceInfo info = devices[0]->GetDeviceInfo();
  EXPECT_EQ(info.Name, "SN-A");
  EXPECT_EQ(info.Model, "Model \"A\"");
  EXPECT_EQ(info.Serial, "SN-A");
  EXPECT_EQ(devices[0]->GetName(), "SN-A");
  const ConnectionInfo connection = devices[0]->GetConnectionInfo();
  EXPECT_EQ(connection.DeviceType, kNewerPlatformDevice);
  EXPECT_EQ(connection.ConnectionType, kConnectionUsb);
  EXPECT_EQ(connection.Address, "/virtual/hid0");
  EXPECT_EQ(devices[1]->GetName(), "SN-B");
  // Registered under the compact text of its entry, keys in order.
  const auto* listed = static_cast<OrvaneIDevice*>(devices[0]);
  EXPECT_EQ(listed->CreationText(),
            R"({"DSN":"SN-A","Name":"SN-A","PID":"3A11","Path":"/virtual/hid0","Product":"Model \"A\"","VID":"7A3B"})");
  EXPECT_EQ(OrvaneDeviceRegistry().Find(listed->CreationText()), listed);
  // The types that the platform supports.
  EXPECT_EQ(GetOrvaneConnectionTypes(), (std::vector<uint32_t>{0, 8, 7}));
}

TEST_F(OrvaneListing, GivesTheSameObjectsAgainAndANewOneOnceForgotten) {
  AddReader("/virtual/hid0", "SN-A");
  AddReader("/virtual/hid1", "SN-B");
  // A device made by the address of an entry is that entry's device.
  IDevice* byAddress = GetOrvaneDevice(kConnectionUsb, "/virtual/hid1");
  const std::vector<IDevice*> first = ListOrvaneDevices(kConnectionUsb);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[1], byAddress);
  EXPECT_EQ(ListOrvaneDevices(kConnectionUsb), first);
  EXPECT_EQ(GetOrvaneDevice(kConnectionUsb, "/virtual/hid1"), byAddress);

  first[0]->SetUserData(7);
  ForgetOrvaneDevice(first[0]);
  const std::vector<IDevice*> again = ListOrvaneDevices(kConnectionUsb);
  delete first[0];
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0]->GetUserData(), 0u);
  EXPECT_EQ(again[1], byAddress);
}

TEST_F(OrvaneListing, AnOpenDeviceStaysListedAfterItsReaderLeavesTheList) {
  AddReader("/virtual/hid0", "SN-A");
  AddReader("/virtual/hid1", "SN-B");
  const std::vector<IDevice*> listed = ListOrvaneDevices(kConnectionUsb);
  ASSERT_EQ(listed.size(), 2u);
  ASSERT_NE(listed[0]->GetDeviceConfiguration(), nullptr);
  EXPECT_EQ(listed[0]->GetConnectionState(), kStateConnected);
  Unlist("/virtual/hid0");
  Unlist("/virtual/hid1");
  EXPECT_EQ(ListOrvaneDevices(kConnectionUsb), std::vector<IDevice*>{listed[0]});
  // Only for its own connection type.
  EXPECT_TRUE(ListOrvaneDevices(kConnectionTcp).empty());
  listed[0]->Close();
  EXPECT_TRUE(ListOrvaneDevices(kConnectionUsb).empty());
}

TEST_F(OrvaneListing, AnEmptyUsbAddressGivesTheFirstListedDevice) {
  AddReader("/virtual/hid0", "SN-A");
  AddReader("/virtual/hid1", "SN-B");
  IDevice* first = GetOrvaneDevice(kConnectionUsb, "");
  EXPECT_EQ(first->GetConnectionInfo().Address, "/virtual/hid0");
  EXPECT_EQ(ListOrvaneDevices(kConnectionUsb).front(), first);
  // Other connection types do not list.
  IDevice* webSocket = GetOrvaneDevice(kConnectionWebSocket, "");
  EXPECT_NE(webSocket, first);
  EXPECT_EQ(webSocket->GetConnectionInfo().Address, "");
  EXPECT_EQ(GetOrvaneDevice(kConnectionUsb, ""), webSocket) << "now registered under the empty address";
}

TEST_F(OrvaneListing, AnEmptyUsbAddressWithoutReadersGivesANewDevice) {
  IDevice* device = GetOrvaneDevice(kConnectionUsb, "");
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->GetConnectionInfo().Address, "");
  EXPECT_EQ(OrvaneDeviceRegistry().Find(""), device);
}

// Run under ThreadSanitizer in CI: the registry serves several threads at
// once. The devices forgotten are destroyed at the end, as their owner would.
TEST_F(OrvaneListing, ServesListingGettingAndForgettingFromSeveralThreads) {
  std::mutex forgottenMutex;
  std::set<IDevice*> forgotten;
  for (int i = 0; i < 4; ++i) AddReader("/virtual/hid" + std::to_string(i), "SN-" + std::to_string(i));
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 40; ++round) {
        try {
          const std::vector<IDevice*> devices = ListOrvaneDevices(kConnectionUsb);
          if (devices.size() < 4) ++failures;
          // Not touched: another thread may release it at any moment.
          if (GetOrvaneDevice(kConnectionUsb, "/virtual/hid" + std::to_string((t + round) % 4)) == nullptr) ++failures;
          if (round % 3 == t % 3) {
            IDevice* device = devices[static_cast<size_t>(round) % devices.size()];
            ForgetOrvaneDevice(device);
            const std::lock_guard<std::mutex> lock(forgottenMutex);
            forgotten.insert(device);
          }
        } catch (...) {
          ++failures;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (IDevice* device : forgotten) delete device;
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(Addresses(ListOrvaneDevices(kConnectionUsb)),
            (std::vector<std::string>{"/virtual/hid0", "/virtual/hid1", "/virtual/hid2", "/virtual/hid3"}));
}

}  // namespace
}  // namespace pelorixj
