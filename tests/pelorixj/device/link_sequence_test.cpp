// Closes inside a listener and on a thread reporting a loss, and a link
// lost as it opens, with a library of the test's own whose close the test
// holds. (The sequence of open and close runs end to end in the
// older family's tests and the Java concurrency test.)
#include "pelorixj/device/link_sequence.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "pelorixj/device/delivering_thread.h"
#include "pelorixj/device/device_enums.h"

namespace pelorixj {
namespace {

using namespace std::chrono_literals;
using Log = std::vector<std::string>;

// Logs every call as "open 1", "close 1", and the events; a close waits
// while the gate is shut.
class Library {
 public:
  Library() {
    ShutGate();
    OpenGate();
  }

  LinkSequence::Calls Calls() {
    LinkSequence::Calls calls;
    calls.open = [this] {
      const LinkSequence::Link link = ++last_;
      Add("open " + std::to_string(link));
      return link;
    };
    calls.attach = [](LinkSequence::Link) {};
    calls.isOpen = [](LinkSequence::Link link) { return link != 0; };
    calls.lostUnheard = [this](LinkSequence::Link link) { return link == lost_; };
    calls.canClose = [] { return true; };
    calls.close = [this](LinkSequence::Link link) {
      gate_.wait();
      Add("close " + std::to_string(link));
    };
    return calls;
  }
  ConnectionStateReports::Raise Raise() {
    return [this](uint32_t state) { Add(state == kStateConnected ? "connected" : "disconnected"); };
  }
  // While no close runs.
  void ShutGate() {
    opener_ = std::promise<void>();
    gate_ = opener_.get_future().share();
  }
  void OpenGate() { opener_.set_value(); }
  // That link is lost as it opens.
  void Lose(LinkSequence::Link link) { lost_ = link; }
  Log Entries() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return log_;
  }

 private:
  void Add(std::string entry) {
    const std::lock_guard<std::mutex> lock(mutex_);
    log_.push_back(std::move(entry));
  }

  std::mutex mutex_;
  Log log_;
  std::atomic<LinkSequence::Link> last_{0};
  std::atomic<LinkSequence::Link> lost_{0};
  std::promise<void> opener_;
  std::shared_future<void> gate_;
};

// Inside a listener the close is handed off: the link is gone at once, and
// a close or open on any other thread, or the sequence's end, waits until
// the library has closed it.
TEST(LinkSequence, ACloseInsideAListenerReturnsOnceTheLinkIsTaken) {
  Library library;
  auto link = std::make_unique<LinkSequence>(library.Calls(), library.Raise());
  const std::function<void()> nextCalls[] = {[&] { link->Close(); }, [&] { link->Open(); }, [&] { link.reset(); }};
  for (const auto& next : nextCalls) {
    ASSERT_TRUE(link->Open());
    library.ShutGate();
    std::thread([&] {
      const DeliveryOnThisThread delivering;
      link->Close();
    }).join();
    EXPECT_EQ(link->Current(), 0);
    auto waiting = std::async(std::launch::async, next);
    EXPECT_EQ(waiting.wait_for(200ms), std::future_status::timeout) << "did not wait for the close";
    library.OpenGate();
    waiting.get();
    if (link) link->Close();
  }
  EXPECT_EQ(library.Entries(), (Log{"open 1", "connected", "disconnected", "close 1",  // then Close
                                    "open 2", "connected", "disconnected", "close 2",  // then Open
                                    "open 3", "connected", "close 3", "disconnected",  // closed here
                                    "open 4", "connected", "disconnected", "close 4"}));  // then the end
}

// A report that the link is gone closes it on the reporting thread; a close
// on another thread meanwhile returns once the library has closed it.
TEST(LinkSequence, ACloseElsewhereWaitsForTheCloseOfALinkReportedGone) {
  Library library;
  LinkSequence link(library.Calls(), library.Raise());
  ASSERT_TRUE(link.Open());
  library.ShutGate();
  auto reporting = std::async(std::launch::async, [&] { link.CloseIfOpen(1); });
  while (link.Current() != 0) std::this_thread::sleep_for(1ms);
  auto closing = std::async(std::launch::async, [&] { link.Close(); });
  EXPECT_EQ(closing.wait_for(200ms), std::future_status::timeout) << "did not wait for the close";
  library.OpenGate();
  reporting.get();
  closing.get();
  EXPECT_EQ(library.Entries(), (Log{"open 1", "connected", "close 1", "disconnected"}));
}

// Lost before the callbacks were on it: nobody heard of the loss.
TEST(LinkSequence, ALinkLostAsItOpensIsClosedAndTheOpenFails) {
  Library library;
  library.Lose(1);
  LinkSequence link(library.Calls(), library.Raise());
  EXPECT_FALSE(link.Open());
  EXPECT_EQ(link.Current(), 0);
  EXPECT_TRUE(link.Open());
  EXPECT_EQ(library.Entries(), (Log{"open 1", "close 1", "open 2", "connected"}));
}

}  // namespace
}  // namespace pelorixj
