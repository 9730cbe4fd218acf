#include "pelorixj/device/ibase_device.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bare_device.h"
#include "eventually.h"

namespace pelorixj {
namespace {

using namespace std::chrono_literals;
using test_support::Eventually;
using test_support::kRoomyWait;

// Runs a function of its owner's on every event.
class CallbackSubscriber : public IEventSubscriber {
 public:
  explicit CallbackSubscriber(std::function<void(int, const ByteDataRecord&)> onEvent) : onEvent_(std::move(onEvent)) {}
  void OnEvent(int eventType, ByteDataRecord payload) override { onEvent_(eventType, payload); }

 private:
  std::function<void(int, const ByteDataRecord&)> onEvent_;
};

class Recorder : public IEventSubscriber {
 public:
  void OnEvent(int eventType, ByteDataRecord payload) override { events.emplace_back(eventType, payload.Text); }
  std::vector<std::pair<int, std::string>> events;
};

using Events = std::vector<std::pair<int, std::string>>;

TEST(BaseDevice, UserDataStartsAtZeroAndKeepsTheWord) {
  BareDevice device;
  EXPECT_EQ(device.GetUserData(), 0u);
  device.SetUserData(0xFEDCBA9876543210u);
  EXPECT_EQ(device.GetUserData(), 0xFEDCBA9876543210u);
}

TEST(BaseDevice, EventsReachOnlyTheCurrentSubscriber) {
  BareDevice device;
  auto first = std::make_shared<Recorder>();
  auto second = std::make_shared<Recorder>();
  EXPECT_TRUE(device.Raise(kEventDeviceData, "00"));
  EXPECT_TRUE(device.SubscribeAll(first));
  EXPECT_TRUE(device.Raise(kEventTransaction, "card_swiped"));
  EXPECT_TRUE(device.SubscribeAll(second));
  EXPECT_TRUE(device.Raise(kEventUser, "touch_presented"));
  EXPECT_TRUE(device.UnsubscribeAll());
  EXPECT_TRUE(device.Raise(kEventDeviceReset, "device_reset_occurred"));
  EXPECT_EQ(first->events, (Events{{kEventTransaction, "card_swiped"}}));
  EXPECT_EQ(second->events, (Events{{kEventUser, "touch_presented"}}));
}

TEST(BaseDevice, SubscriberMayChangeItsSubscriptionFromInsideAnEvent) {
  BareDevice device;
  auto next = std::make_shared<Recorder>();
  int calls = 0;
  auto subscriber = std::make_shared<CallbackSubscriber>([&](int eventType, const ByteDataRecord&) {
    ++calls;
    if (eventType == 1) device.SubscribeAll(next);
    if (eventType == 2) device.UnsubscribeAll();
  });
  device.SubscribeAll(subscriber);
  EXPECT_TRUE(device.Raise(1, "replace"));
  EXPECT_TRUE(device.Raise(3, "to next"));
  device.SubscribeAll(subscriber);
  EXPECT_TRUE(device.Raise(2, "drop"));
  EXPECT_TRUE(device.Raise(3, "to none"));
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(next->events, (Events{{3, "to next"}}));
}

TEST(BaseDevice, SubscriberMayReleaseItsDeviceFromInsideAnEvent) {
  auto* device = new BareDevice();
  device->SubscribeAll(std::make_shared<CallbackSubscriber>([&](int, const ByteDataRecord&) { delete device; }));
  EXPECT_FALSE(device->Raise(kEventConnectionStateChanged, "disconnected"));
}

TEST(BaseDevice, ChangingTheSubscriberWaitsForADeliveryOnAnotherThread) {
  struct Change {
    const char* name;
    std::function<void(std::unique_ptr<BareDevice>&)> apply;
  };
  const Change changes[] = {
      {"unsubscribe", [](std::unique_ptr<BareDevice>& device) { device->UnsubscribeAll(); }},
      {"replace", [](std::unique_ptr<BareDevice>& device) { device->SubscribeAll(std::make_shared<Recorder>()); }},
      {"destroy", [](std::unique_ptr<BareDevice>& device) { device.reset(); }},
  };
  for (const Change& change : changes) {
    auto device = std::make_unique<BareDevice>();
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    device->SubscribeAll(std::make_shared<CallbackSubscriber>([&](int, const ByteDataRecord&) {
      entered.set_value();
      released.wait();
    }));
    std::thread raiser([&device] { device->Raise(kEventDeviceData, "01"); });
    entered.get_future().wait();

    std::atomic<bool> changed{false};
    std::thread changer([&] {
      change.apply(device);
      changed = true;
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(changed) << change.name << " returned while the delivery ran";
    release.set_value();
    changer.join();
    raiser.join();
    EXPECT_TRUE(changed) << change.name;
  }
}

TEST(BaseDevice, ASubscribersExceptionPassesThroughAndEndsItsDelivery) {
  BareDevice device;
  device.SubscribeAll(std::make_shared<CallbackSubscriber>(
      [](int, const ByteDataRecord&) { throw std::runtime_error("listener failed"); }));
  EXPECT_THROW(device.Raise(kEventDeviceData, "01"), std::runtime_error);
  auto unsubscribed = std::async(std::launch::async, [&device] { device.UnsubscribeAll(); });
  EXPECT_EQ(unsubscribed.wait_for(kRoomyWait), std::future_status::ready);
}

// Subscribers are let go of right after they are replaced, while other
// threads raise events: none may be reached once the change has returned.
TEST(BaseDevice, NoDeliveryOutlivesItsSubscription) {
  struct Counting : IEventSubscriber {
    std::atomic<int> count{0};
    void OnEvent(int, ByteDataRecord) override { ++count; }
  };
  BareDevice device;
  std::atomic<bool> stop{false};
  std::vector<std::thread> raisers;
  for (int t = 0; t < 4; ++t) {
    raisers.emplace_back([&] {
      while (!stop) device.Raise(kEventDeviceData, "0102");
    });
  }
  for (int round = 0; round < 200; ++round) {
    auto subscriber = std::make_shared<Counting>();
    device.SubscribeAll(subscriber);
    // Replaced only while deliveries to it are under way.
    if (!Eventually([&] { return subscriber->count > 0; })) {
      ADD_FAILURE() << "no delivery in round " << round;
      device.UnsubscribeAll();
      break;
    }
    if (round % 2 == 0) {
      device.UnsubscribeAll();
    } else {
      device.SubscribeAll(std::make_shared<Counting>());
      device.UnsubscribeAll();
    }
    const int seen = subscriber->count;
    std::this_thread::yield();
    EXPECT_EQ(subscriber->count, seen);
  }
  stop = true;
  for (std::thread& raiser : raisers) raiser.join();
}

// A listener of one device drops the subscriber of another while that
// device's event is under way on a third thread, which waits for the
// listener: waiting for that delivery would wait forever.
TEST(BaseDevice, AChangeFromInsideADeliveryDoesNotWaitForOtherThreads) {
  BareDevice first;
  BareDevice second;
  std::promise<void> secondEntered;
  std::promise<void> firstChanged;
  std::shared_future<void> changed = firstChanged.get_future().share();
  auto blocking = std::make_shared<CallbackSubscriber>([&](int, const ByteDataRecord&) {
    secondEntered.set_value();
    changed.wait_for(30s);
  });
  second.SubscribeAll(blocking);
  std::weak_ptr<CallbackSubscriber> blockingAlive = blocking;
  blocking.reset();
  std::thread raiser([&second] { second.Raise(kEventDeviceData, "01"); });
  secondEntered.get_future().wait();

  first.SubscribeAll(std::make_shared<CallbackSubscriber>([&](int, const ByteDataRecord&) {
    second.UnsubscribeAll();
    // Dropped, yet alive for the delivery under way.
    EXPECT_FALSE(blockingAlive.expired());
    firstChanged.set_value();
  }));
  auto raised = std::async(std::launch::async, [&first] { first.Raise(kEventDeviceData, "02"); });
  EXPECT_EQ(raised.wait_for(20s), std::future_status::ready);
  raiser.join();
  EXPECT_TRUE(blockingAlive.expired());
}

}  // namespace
}  // namespace pelorixj
