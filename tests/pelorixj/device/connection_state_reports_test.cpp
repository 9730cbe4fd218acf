#include "pelorixj/device/connection_state_reports.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "eventually.h"
#include "pelorixj/device/device_enums.h"

namespace pelorixj {
namespace {

constexpr uint32_t kOn = kStateConnected;
constexpr uint32_t kOff = kStateDisconnected;

// The events raised, and what the listener does in each.
struct Listener {
  std::mutex mutex;
  std::vector<uint32_t> raised;
  std::function<void(uint32_t)> onRaise = [](uint32_t) {};

  ConnectionStateReports::Raise Raise() {
    return [this](uint32_t s) {
      {
        const std::lock_guard<std::mutex> lock(mutex);
        raised.push_back(s);
      }
      onRaise(s);
    };
  }
  std::vector<uint32_t> Raised() {
    const std::lock_guard<std::mutex> lock(mutex);
    return raised;
  }
};

TEST(ConnectionStateReports, RaisesEveryChangeOnceInTheOrderAdded) {
  Listener listener;
  ConnectionStateReports reports(listener.Raise());
  for (const uint32_t state : {kOn, kOff, kOn}) reports.Add(state);
  EXPECT_TRUE(reports.Report());
  reports.Add(kOff);
  EXPECT_TRUE(reports.Report());
  EXPECT_TRUE(reports.Report());
  EXPECT_EQ(listener.Raised(), (std::vector<uint32_t>{kOn, kOff, kOn, kOff}));
}

// A listener that changes the link from inside its event gets the next
// event at once, on its own thread; one that destroys the owner ends the
// reports.
TEST(ConnectionStateReports, AReportFromInsideAnEventIsMadeAtOnceAndADestroyedOwnerEndsThem) {
  Listener listener;
  auto reports = std::make_unique<ConnectionStateReports>(listener.Raise());
  listener.onRaise = [&](uint32_t s) {
    if (s == kOn) {
      reports->Add(kOff);
      EXPECT_FALSE(reports->Report());
    } else {
      reports->Add(kOn);
      reports.reset();
    }
  };
  reports->Add(kOn);
  EXPECT_FALSE(reports->Report());
  EXPECT_EQ(listener.Raised(), (std::vector<uint32_t>{kOn, kOff}));
}

// One thread is inside an event when the link changes on another: that
// thread's report does not wait, and the event follows once the first ends.
TEST(ConnectionStateReports, AReportWhileAnotherThreadRaisesIsLeftToThatThread) {
  Listener listener;
  ConnectionStateReports reports(listener.Raise());
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  listener.onRaise = [&](uint32_t s) {
    if (s == kOn) {
      entered.set_value();
      released.wait();
    }
  };
  reports.Add(kOn);
  std::thread first([&] { reports.Report(); });
  entered.get_future().wait();
  reports.Add(kOff);
  auto second = std::async(std::launch::async, [&] { return reports.Report(); });
  EXPECT_EQ(second.wait_for(test_support::kRoomyWait), std::future_status::ready);
  EXPECT_EQ(listener.Raised(), std::vector<uint32_t>{kOn});
  release.set_value();
  first.join();
  EXPECT_EQ(listener.Raised(), (std::vector<uint32_t>{kOn, kOff}));
}

}  // namespace
}  // namespace pelorixj
