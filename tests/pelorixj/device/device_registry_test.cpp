#include "pelorixj/device/device_registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace pelorixj {
namespace {

using namespace std::chrono_literals;

struct Device {
  int id;
};

TEST(DeviceRegistry, FindsInsertsAndErasesOnlyItsOwnEntry) {
  DeviceRegistry<Device> registry;
  Device first{1};
  Device second{2};
  EXPECT_EQ(registry.Find("HID://A"), nullptr);
  EXPECT_TRUE(registry.Insert("HID://A", &first));
  EXPECT_FALSE(registry.Insert("HID://A", &second));
  EXPECT_EQ(registry.Find("HID://A"), &first);
  EXPECT_EQ(registry.Find("hid://a"), nullptr);

  registry.EraseIfPointsTo("HID://A", &second);
  EXPECT_EQ(registry.Find("HID://A"), &first);
  registry.EraseIfPointsTo("HID://A", &first);
  EXPECT_EQ(registry.Find("HID://A"), nullptr);
  registry.EraseIfPointsTo("HID://A", &first);
}

TEST(DeviceRegistry, ListsEntriesInByteOrderOfTheirKeys) {
  DeviceRegistry<Device> registry;
  Device devices[4] = {{0}, {1}, {2}, {3}};
  const std::string keys[] = {"b", "B", std::string("a\0", 2), "a"};
  for (int i = 0; i < 4; ++i) registry.Insert(keys[i], &devices[i]);
  std::vector<int> order;
  for (const auto& entry : registry.Entries()) order.push_back(entry.second->id);
  EXPECT_EQ(order, (std::vector<int>{1, 3, 2, 0}));
}

TEST(DeviceRegistry, HoldingKeepsOtherThreadsOutButNotItsOwn) {
  DeviceRegistry<Device> registry;
  Device listed{1};
  Device other{2};
  std::atomic<bool> inserted{false};
  std::thread intruder;
  {
    auto held = registry.Hold();
    intruder = std::thread([&] {
      registry.Insert("other", &other);
      inserted = true;
    });
    // Constructing a device while listing registers it on the same thread.
    EXPECT_TRUE(registry.Insert("listed", &listed));
    EXPECT_EQ(registry.Find("listed"), &listed);
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(inserted);
  }
  intruder.join();
  EXPECT_EQ(registry.Find("other"), &other);
}

}  // namespace
}  // namespace pelorixj
