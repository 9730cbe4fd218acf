// The open and close of a link as one sequence, with a library of its own
// whose open and close the test can hold.
#include "pelorixj/device/link_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "eventually.h"
#include "pelorixj/device/delivering_thread.h"
#include "pelorixj/device/device_enums.h"

namespace pelorixj {
namespace {

using namespace std::chrono_literals;
using test_support::kRoomyWait;
using Link = LinkSequence::Link;

// Logs every call as "open 1", "attach 1", "close 1", "connected" and
// "disconnected"; an open or close waits while its gate is shut.
class Library {
 public:
  // Shut and opened while no call is at it.
  class Gate {
   public:
    void Shut() {
      opened_ = std::promise<void>();
      passage_ = opened_.get_future().share();
      reached = std::promise<void>();
    }
    void Open() { opened_.set_value(); }
    void Pass() {
      try {
        reached.set_value();
      } catch (const std::future_error&) {
        // Reached before.
      }
      if (passage_.valid()) passage_.wait();
    }
    // Set by the first call at the gate since it was shut.
    std::promise<void> reached;

   private:
    std::promise<void> opened_;
    std::shared_future<void> passage_;
  };

  LinkSequence::Calls Calls() {
    LinkSequence::Calls calls;
    calls.open = [this] {
      const Link link = ++last_;
      Log("open " + std::to_string(link));
      openGate.Pass();
      return link;
    };
    calls.attach = [this](Link link) { Log("attach " + std::to_string(link)); };
    calls.isOpen = [](Link link) { return link != 0; };
    calls.canClose = [] { return true; };
    calls.close = [this](Link link) {
      closeGate.Pass();
      Log("close " + std::to_string(link));
    };
    return calls;
  }
  ConnectionStateReports::Raise Raise() {
    return [this](uint32_t state) { Log(state == kStateConnected ? "connected" : "disconnected"); };
  }

  std::vector<std::string> Log() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return log_;
  }

  Gate openGate;
  Gate closeGate;

 private:
  void Log(std::string entry) {
    const std::lock_guard<std::mutex> lock(mutex_);
    log_.push_back(std::move(entry));
  }
  std::mutex mutex_;
  std::vector<std::string> log_;
  std::atomic<Link> last_{0};
};

using Log = std::vector<std::string>;

bool IsEvent(const std::string& entry) { return entry == "connected" || entry == "disconnected"; }

TEST(LinkSequence, ACloseDuringAnOpenWaitsForItThenClosesTheNewLink) {
  Library library;
  LinkSequence link(library.Calls(), library.Raise());
  library.openGate.Shut();
  auto opening = std::async(std::launch::async, [&] { return link.Open(); });
  ASSERT_EQ(library.openGate.reached.get_future().wait_for(kRoomyWait), std::future_status::ready);
  auto closing = std::async(std::launch::async, [&] { link.Close(); });
  EXPECT_EQ(closing.wait_for(200ms), std::future_status::timeout) << "the close did not wait for the open";
  library.openGate.Open();
  EXPECT_TRUE(opening.get());
  closing.get();
  // Either thread may raise the events, so they are checked apart from the calls.
  Log calls;
  Log events;
  for (const std::string& entry : library.Log()) (IsEvent(entry) ? events : calls).push_back(entry);
  EXPECT_EQ(calls, (Log{"open 1", "attach 1", "close 1"}));
  EXPECT_EQ(events, (Log{"connected", "disconnected"}));
  EXPECT_EQ(link.Current(), 0);
}

// Inside a listener the close is handed off: the link is gone at once,
// and a close or open on any other thread, or the sequence's end, waits for
// the link to be closed.
TEST(LinkSequence, ACloseInsideAListenerReturnsOnceTheLinkIsTaken) {
  Library library;
  auto link = std::make_unique<LinkSequence>(library.Calls(), library.Raise());
  auto closeInsideAListener = [&] {
    ASSERT_TRUE(link->Open());
    library.closeGate.Shut();
    std::thread([&] {
      const DeliveryOnThisThread delivering;
      link->Close();
    }).join();
    EXPECT_EQ(link->Current(), 0);
  };
  const std::function<void()> nextCalls[] = {[&] { link->Close(); }, [&] { link->Open(); }, [&] { link.reset(); }};
  for (const auto& next : nextCalls) {
    closeInsideAListener();
    auto waiting = std::async(std::launch::async, next);
    EXPECT_EQ(waiting.wait_for(200ms), std::future_status::timeout) << "did not wait for the close";
    library.closeGate.Open();
    waiting.get();
    if (link) link->Close();
  }
  EXPECT_EQ(library.Log(), (Log{"open 1", "attach 1", "connected", "disconnected", "close 1",  // then Close
                                "open 2", "attach 2", "connected", "disconnected", "close 2",  // then Open
                                "open 3", "attach 3", "connected", "close 3", "disconnected",  // closed here
                                "open 4", "attach 4", "connected", "disconnected", "close 4"}));  // then the end
}

// Two threads open and close at random: every link opened is reported
// "connected", every link closed "disconnected", alternating, and the last
// event names the state.
TEST(LinkSequence, ReportsEveryOpenAndCloseInOrderWhateverTheThreads) {
  Library library;
  LinkSequence link(library.Calls(), library.Raise());
  auto churn = [&](unsigned seed) {
    for (int i = 0; i < 2000; ++i) {
      seed = seed * 1103515245u + 12345u;
      if ((seed >> 16) & 1) {
        link.Open();
      } else {
        link.Close();
      }
    }
  };
  std::thread first(churn, 1u);
  std::thread second(churn, 2u);
  first.join();
  second.join();
  link.Close();
  int opens = 0;
  std::string expected = "connected";
  for (const std::string& entry : library.Log()) {
    if (entry.rfind("open", 0) == 0) ++opens;
    if (!IsEvent(entry)) continue;
    ASSERT_EQ(entry, expected);
    expected = expected == "connected" ? "disconnected" : "connected";
  }
  EXPECT_GT(opens, 1);
  EXPECT_EQ(expected, "connected") << "the last event is not disconnected";
  const Log log = library.Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "connected"), opens);
}

}  // namespace
}  // namespace pelorixj
