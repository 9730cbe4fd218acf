#include "quorlan/platform/hidraw_sysfs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "quorlan/platform/hidraw_backend.h"

namespace quorlan {
namespace platform {
namespace {

namespace fs = std::filesystem;

struct UeventCase {
  std::string name;
  std::string text;
  bool valid;
  uint16_t bus, vendorId, productId;
  std::string hidName, unique;
};

void PrintTo(const UeventCase& c, std::ostream* out) { *out << c.name; }

const std::vector<UeventCase> kUevents = {
    {"UsbReader",
     "DRIVER=hid-generic\nHID_ID=0003:00007A3B:00003A11\nHID_NAME=Korvex Card Reader\n"
     "HID_PHYS=usb-0000:00:14.0-2/input0\nHID_UNIQ=KV0001234\nMODALIAS=hid:b0003g0001v00007A3Bp00003A11\n",
     true, 0x0003, 0x7A3B, 0x3A11, "Korvex Card Reader", "KV0001234"},
    {"LowerCaseHex", "HID_ID=0005:00007a3b:00003a11\n", true, 0x0005, 0x7A3B, 0x3A11, "", ""},
    {"EmptyNameAndSerial", "HID_ID=0003:00000001:00000002\nHID_NAME=\nHID_UNIQ=\n", true, 0x0003, 0x0001,
     0x0002, "", ""},
    {"ValuesKeepTheirEqualsSigns", "HID_ID=0003:00000001:00000002\nHID_UNIQ=a=b\n", true, 0x0003, 0x0001,
     0x0002, "", "a=b"},
    {"NoHidId", "DRIVER=hid-generic\nHID_NAME=Keyboard\n", false, 0, 0, 0, "", ""},
    {"HidIdWithTwoParts", "HID_ID=0003:00007A3B\n", false, 0, 0, 0, "", ""},
    {"HidIdNotHexadecimal", "HID_ID=0003:00007A3G:00003A11\n", false, 0, 0, 0, "", ""},
    {"VendorIdOutOfRange", "HID_ID=0003:00017A3B:00003A11\n", false, 0, 0, 0, "", ""},
    {"EmptyProductId", "HID_ID=0003:00007A3B:\n", false, 0, 0, 0, "", ""},
    {"ExtraField", "HID_ID=0003:00007A3B:00003A11:0001\n", false, 0, 0, 0, "", ""},
};

class Uevent : public ::testing::TestWithParam<UeventCase> {};

TEST_P(Uevent, YieldsTheHidKeys) {
  const UeventCase& c = GetParam();
  const auto uevent = ParseHidUevent(c.text);
  ASSERT_EQ(uevent.has_value(), c.valid);
  if (!c.valid) return;
  EXPECT_EQ(uevent->bus, c.bus);
  EXPECT_EQ(uevent->vendorId, c.vendorId);
  EXPECT_EQ(uevent->productId, c.productId);
  EXPECT_EQ(uevent->name, c.hidName);
  EXPECT_EQ(uevent->unique, c.unique);
}

INSTANTIATE_TEST_SUITE_P(Texts, Uevent, ::testing::ValuesIn(kUevents),
                         [](const auto& info) { return info.param.name; });

// A sysfs tree in a temporary folder, laid out as the kernel does: class
// links pointing into the device hierarchy.
class FakeSysfs : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    root_ = fs::temp_directory_path() / ("quorlan-sysfs-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(root_ / "class" / "hidraw");
  }
  void TearDown() override { fs::remove_all(root_); }

  static void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }

  // A USB device folder with its interface and HID device below it.
  fs::path AddUsbDevice(const std::string& port, const std::string& product) {
    const fs::path usb = root_ / "devices" / "pci0000:00" / "usb1" / port;
    Write(usb / "idVendor", "7a3b\n");
    Write(usb / "product", product + "\n");
    return usb / (port + ":1.0");
  }

  void AddHidraw(const std::string& node, const fs::path& parent, const std::string& uevent) {
    const fs::path hid = parent / ("0003:7A3B:3A11." + node);
    Write(hid / "uevent", uevent);
    fs::create_directories(hid / "hidraw" / node);
    fs::create_directory_symlink(hid / "hidraw" / node, root_ / "class" / "hidraw" / node);
    fs::create_directory_symlink(hid, hid / "hidraw" / node / "device");
  }

  std::vector<HidDeviceInfo> List() {
    std::vector<HidDeviceInfo> devices;
    EXPECT_TRUE(ListHidrawDevices(root_.string(), "/dev", &devices));
    return devices;
  }

  fs::path root_;
};

TEST_F(FakeSysfs, ListsDevicesInHidrawNumberOrder) {
  const fs::path parent = root_ / "devices" / "virtual" / "misc" / "uhid";
  for (const std::string node : {"hidraw10", "hidraw2", "hidraw0"}) {
    AddHidraw(node, parent, "HID_ID=0006:00000001:00000002\nHID_NAME=" + node + "\n");
  }
  const auto devices = List();
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0].path, "/dev/hidraw0");
  EXPECT_EQ(devices[1].path, "/dev/hidraw2");
  EXPECT_EQ(devices[2].path, "/dev/hidraw10");
  EXPECT_EQ(devices[2].product, "hidraw10");
}

TEST_F(FakeSysfs, UsbDeviceTakesProductFromUsbAndSerialFromUniq) {
  AddHidraw("hidraw0", AddUsbDevice("1-2", "Card Reader"),
            "HID_ID=0003:00007A3B:00003A11\nHID_NAME=Korvex Card Reader\nHID_UNIQ=KV0001234\n");
  const auto devices = List();
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].vendorId, 0x7A3B);
  EXPECT_EQ(devices[0].productId, 0x3A11);
  EXPECT_EQ(devices[0].serialNumber, "KV0001234");
  EXPECT_EQ(devices[0].product, "Card Reader");
}

TEST_F(FakeSysfs, DeviceOffUsbTakesProductFromHidName) {
  AddHidraw("hidraw0", root_ / "devices" / "virtual" / "misc" / "uhid",
            "HID_ID=0005:00007A3B:00003A11\nHID_NAME=Wireless Reader\nHID_UNIQ=aa:bb:cc:dd:ee:ff\n");
  const auto devices = List();
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].product, "Wireless Reader");
  EXPECT_EQ(devices[0].serialNumber, "aa:bb:cc:dd:ee:ff");
}

TEST_F(FakeSysfs, SkipsEntriesThatAreNotHidDevices) {
  const fs::path parent = root_ / "devices" / "virtual" / "misc" / "uhid";
  AddHidraw("hidraw0", parent, "DRIVER=hid-generic\n");
  AddHidraw("hidraw1", parent, "HID_ID=0006:00000001:00000002\n");
  fs::create_directories(root_ / "class" / "hidraw" / "hidraw2");
  fs::create_directories(root_ / "class" / "hidraw" / "hidrawx");
  fs::create_directories(root_ / "class" / "hidraw" / "power");
  const auto devices = List();
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].path, "/dev/hidraw1");
}

TEST_F(FakeSysfs, MissingClassFolderFailsTheList) {
  fs::remove_all(root_ / "class");
  std::vector<HidDeviceInfo> devices;
  EXPECT_FALSE(ListHidrawDevices(root_.string(), "/dev", &devices));
}

TEST_F(FakeSysfs, BackendEnumeratesUnderItsRoots) {
  AddHidraw("hidraw3", AddUsbDevice("2-1", "Card Reader"), "HID_ID=0003:00007A3B:00003A11\nHID_UNIQ=S1\n");
  HidrawBackend backend(root_.string(), "/tmp/devices");
  std::vector<HidDeviceInfo> devices;
  ASSERT_TRUE(backend.Enumerate(&devices));
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].path, "/tmp/devices/hidraw3");
  EXPECT_EQ(devices[0].serialNumber, "S1");
}

}  // namespace
}  // namespace platform
}  // namespace quorlan
