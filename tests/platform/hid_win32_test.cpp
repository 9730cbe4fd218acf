// The Win32 HID backend on the HID devices the system lists: under wine its
// own virtual ones, so nothing here assumes a reader.
#include "quorlan/platform/hid.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "eventually.h"

namespace quorlan {
namespace platform {
namespace {

using namespace std::chrono_literals;

std::vector<HidDeviceInfo> ListedDevices() {
  std::vector<HidDeviceInfo> devices;
  EXPECT_TRUE(SystemHidBackend()->Enumerate(&devices));
  return devices;
}

// The first listed device that opens; null when none does.
std::unique_ptr<HidDevice> OpenSomeDevice() {
  for (const HidDeviceInfo& info : ListedDevices()) {
    if (auto device = SystemHidBackend()->Open(info.path)) return device;
  }
  return nullptr;
}

TEST(Win32HidBackend, ListsDevicesByPathWithTheirIds) {
  for (const HidDeviceInfo& info : ListedDevices()) {
    EXPECT_FALSE(info.path.empty());
    EXPECT_TRUE(info.vendorId != 0 || info.productId != 0) << info.path;
    EXPECT_LE(info.serialNumber.size(), 32u * 3) << info.path;
    EXPECT_LE(info.product.size(), 32u * 3) << info.path;
  }
}

TEST(Win32HidBackend, OpensNoDeviceAtAPathThatIsNone) {
  EXPECT_EQ(SystemHidBackend()->Open("\\\\?\\hid#no_such_device#0"), nullptr);
  EXPECT_EQ(SystemHidBackend()->Open(""), nullptr);
}

TEST(Win32HidDevice, StopEndsAWaitingReadAndEveryLaterOne) {
  std::unique_ptr<HidDevice> device = OpenSomeDevice();
  if (!device) GTEST_SKIP() << "no HID device opens here";
  HidReportLengths lengths;
  std::vector<uint8_t> buffer(device->GetReportLengths(&lengths) && lengths.input > 0 ? lengths.input : 65);

  auto read = std::async(std::launch::async, [&] { return device->ReadInput(buffer.data(), buffer.size()); });
  // A device with nothing to report keeps the read waiting.
  if (read.wait_for(200ms) == std::future_status::ready) GTEST_SKIP() << "the device reports on its own";
  device->StopReads();
  ASSERT_EQ(read.wait_for(test_support::kRoomyWait), std::future_status::ready);
  EXPECT_EQ(read.get().status, HidReadResult::Status::kStopped);
  EXPECT_EQ(device->ReadInput(buffer.data(), buffer.size()).status, HidReadResult::Status::kStopped);
}

}  // namespace
}  // namespace platform
}  // namespace quorlan
