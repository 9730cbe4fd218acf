#include "pelorixj/core/live_objects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "bare_device.h"

namespace pelorixj {
namespace {

// A device whose parts are stand-ins (the table never calls them) and
// which tells when it is destroyed.
class CountingDevice : public BareDevice {
 public:
  explicit CountingDevice(std::atomic<int>& destroyed) : destroyed_(destroyed) {}
  ~CountingDevice() override { ++destroyed_; }

  IDeviceControl* GetDeviceControl() override { return reinterpret_cast<IDeviceControl*>(&control_); }
  IDeviceConfiguration* GetDeviceConfiguration() override {
    return reinterpret_cast<IDeviceConfiguration*>(&configuration_);
  }

 private:
  std::atomic<int>& destroyed_;
  int control_ = 0;
  int configuration_ = 0;
};

TEST(LiveObjects, EachHandleNamesOneObjectOfOneKindUntilItsDeviceIsRemoved) {
  LiveObjects live;
  std::atomic<int> destroyed{0};
  auto* device = new CountingDevice(destroyed);
  std::vector<const IDevice*> forgotten;
  const Handle handle = live.Adopt(device, [&](IDevice* d) { forgotten.push_back(d); });
  EXPECT_EQ(live.Adopt(device, nullptr), handle);
  const Handle control = live.ControlHandle(handle, device->GetDeviceControl());
  const Handle configuration = live.ConfigurationHandle(handle, device->GetDeviceConfiguration());
  EXPECT_EQ(live.ControlHandle(handle, device->GetDeviceControl()), control);
  EXPECT_EQ(live.ConfigurationHandle(handle, nullptr), 0);

  struct Row {
    Handle handle;
    bool isDevice, isControl, isConfiguration;
  };
  const Row rows[] = {
      {handle, true, false, false},  {control, false, true, false}, {configuration, false, false, true},
      {0, false, false, false},      {-1, false, false, false},     {configuration + 1, false, false, false},
      {0x7FFFFFFF12345678, false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.handle);
    EXPECT_EQ(live.Device(row.handle) != nullptr, row.isDevice);
    EXPECT_EQ(live.Control(row.handle) != nullptr, row.isControl);
    EXPECT_EQ(live.Configuration(row.handle) != nullptr, row.isConfiguration);
    // Only a device's handle removes it.
    if (!row.isDevice) {
      EXPECT_EQ(live.Remove(row.handle), nullptr);
    }
  }
  EXPECT_EQ(live.Control(control).get(), device->GetDeviceControl());

  // A call under way holds the device past its removal.
  std::shared_ptr<IDeviceControl> held = live.Control(control);
  EXPECT_EQ(live.Remove(handle).get(), device);
  EXPECT_EQ(forgotten, std::vector<const IDevice*>{device});
  EXPECT_EQ(live.Remove(handle), nullptr);
  EXPECT_EQ(live.ControlHandle(handle, device->GetDeviceControl()), 0);
  for (const Handle gone : {handle, control, configuration}) {
    EXPECT_EQ(live.Device(gone), nullptr);
    EXPECT_EQ(live.Control(gone), nullptr);
    EXPECT_EQ(live.Configuration(gone), nullptr);
  }
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(held.get(), device->GetDeviceControl());

  // Handles are never handed out again, whatever the memory of the next device.
  auto* next = new CountingDevice(destroyed);
  const Handle nextHandle = live.Adopt(next, nullptr);
  EXPECT_GT(nextHandle, configuration);
  EXPECT_EQ(live.Device(handle), nullptr);
  held.reset();
  EXPECT_EQ(destroyed, 1);
  live.Remove(nextHandle);
  EXPECT_EQ(destroyed, 2);
}

// Under the sanitizers in CI: calls on eight threads while another removes
// the device; none may reach it once freed, and it is freed exactly once.
TEST(LiveObjects, ARemovalThatRacesCallsFreesNothingUnderThem) {
  LiveObjects live;
  std::atomic<int> destroyed{0};
  for (int round = 0; round < 200; ++round) {
    const Handle handle = live.Adopt(new CountingDevice(destroyed), nullptr);
    const Handle control = live.ControlHandle(handle, live.Device(handle)->GetDeviceControl());
    std::atomic<bool> go{false};
    std::vector<std::thread> callers;
    for (int t = 0; t < 8; ++t) {
      callers.emplace_back([&, t] {
        while (!go) std::this_thread::yield();
        for (int i = 0; i < 50; ++i) {
          if (t % 2 == 0) {
            if (const auto device = live.Device(handle)) device->GetName();
          } else if (const auto part = live.Control(control)) {
            EXPECT_NE(part.get(), nullptr);
          }
        }
      });
    }
    go = true;
    live.Remove(handle);
    for (std::thread& caller : callers) caller.join();
    EXPECT_EQ(destroyed, round + 1);
  }
}

}  // namespace
}  // namespace pelorixj
