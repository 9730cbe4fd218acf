#include "pelorixj/device/connection_state_reports.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "pelorixj/device/device_enums.h"

namespace pelorixj {
namespace {

using namespace std::chrono_literals;

// A link whose state the test sets, and the events raised for it.
struct Link {
  std::atomic<uint32_t> state{kStateDisconnected};
  std::mutex mutex;
  std::vector<uint32_t> raised;
  std::function<bool(uint32_t)> onRaise = [](uint32_t) { return true; };

  ConnectionStateReports Reports() {
    return ConnectionStateReports([this] { return state.load(); },
                                  [this](uint32_t s) {
                                    {
                                      const std::lock_guard<std::mutex> lock(mutex);
                                      raised.push_back(s);
                                    }
                                    return onRaise(s);
                                  });
  }
  std::vector<uint32_t> Raised() {
    const std::lock_guard<std::mutex> lock(mutex);
    return raised;
  }
};

TEST(ConnectionStateReports, RaisesEachChangeOfTheLinkOnce) {
  Link link;
  ConnectionStateReports reports = link.Reports();
  for (const uint32_t state : {kStateDisconnected, kStateConnected, kStateConnected, kStateDisconnected,
                               kStateDisconnected, kStateConnected}) {
    link.state = state;
    EXPECT_TRUE(reports.Report());
  }
  EXPECT_EQ(link.Raised(), (std::vector<uint32_t>{kStateConnected, kStateDisconnected, kStateConnected}));
}

// A listener that changes the link from inside its event gets the next
// event at once, on its own thread; one that releases the device stops the
// reports.
TEST(ConnectionStateReports, AReportFromInsideAnEventIsMadeAtOnceAndADestroyedDeviceEndsThem) {
  Link link;
  ConnectionStateReports reports = link.Reports();
  link.onRaise = [&](uint32_t s) {
    if (s == kStateConnected) {
      link.state = kStateDisconnected;
      reports.Report();
      return true;
    }
    return false;
  };
  link.state = kStateConnected;
  EXPECT_FALSE(reports.Report());
  EXPECT_EQ(link.Raised(), (std::vector<uint32_t>{kStateConnected, kStateDisconnected}));
}

// One thread is inside an event when the link changes on another: that
// thread's report does not wait, and the event follows once the first ends.
TEST(ConnectionStateReports, AReportWhileAnotherThreadRaisesIsLeftToThatThread) {
  Link link;
  ConnectionStateReports reports = link.Reports();
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  link.onRaise = [&](uint32_t s) {
    if (s == kStateConnected) {
      entered.set_value();
      released.wait_for(30s);
    }
    return true;
  };
  link.state = kStateConnected;
  std::thread first([&] { reports.Report(); });
  entered.get_future().wait();
  link.state = kStateDisconnected;
  auto second = std::async(std::launch::async, [&] { return reports.Report(); });
  EXPECT_EQ(second.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(link.Raised(), std::vector<uint32_t>{kStateConnected});
  release.set_value();
  first.join();
  EXPECT_EQ(link.Raised(), (std::vector<uint32_t>{kStateConnected, kStateDisconnected}));
}

}  // namespace
}  // namespace pelorixj
