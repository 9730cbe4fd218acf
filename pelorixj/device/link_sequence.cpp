#include "pelorixj/device/link_sequence.h"

#include <condition_variable>
#include <set>
#include <utility>

#include "pelorixj/device/delivering_thread.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/hand_off.h"

namespace pelorixj {

// The library's closes under way, here or handed off, numbered as they began.
struct LinkSequence::Closes {
  std::mutex mutex;
  std::condition_variable ended;
  uint64_t next = 1;
  std::set<uint64_t> running;

  uint64_t Begin() {
    const std::lock_guard<std::mutex> lock(mutex);
    running.insert(next);
    return next++;
  }

  void End(uint64_t ticket) {
    const std::lock_guard<std::mutex> lock(mutex);
    running.erase(ticket);
    ended.notify_all();
  }

  void WaitForEarlier() {
    std::unique_lock<std::mutex> lock(mutex);
    const uint64_t last = next - 1;
    ended.wait(lock, [&] { return running.empty() || *running.begin() > last; });
  }
};

LinkSequence::LinkSequence(Calls calls, ConnectionStateReports::Raise raise)
    : calls_(std::move(calls)), closes_(std::make_shared<Closes>()), reports_(std::move(raise)) {}

LinkSequence::~LinkSequence() { closes_->WaitForEarlier(); }

void LinkSequence::WaitForEarlierCloses() {
  if (!ThisThreadDelivers()) closes_->WaitForEarlier();
}

bool LinkSequence::Open() {
  WaitForEarlierCloses();
  Taken lost;
  for (;;) {
    Taken stale;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      const Link current = link_;
      if (calls_.isOpen(current)) return current != 0;
      if (current == 0) {
        const Link opened = calls_.open();
        if (opened == 0) return false;
        link_ = opened;
        calls_.attach(opened);
        if (!calls_.lostUnheard || !calls_.lostUnheard(opened)) {
          reports_.Add(kStateConnected);
        } else {
          // Lost before its callbacks were on it, so that nobody heard of
          // the loss: the open fails unreported, as for a reader that is gone.
          lost = TakeLocked(opened, false);
        }
        break;
      }
      stale = TakeLocked(current, true);
    }
    // The library closed the link by itself: it is closed here too, before
    // a new one is opened.
    Finish(stale);
    if (!reports_.Report()) return false;
  }
  if (lost.link != 0) {
    Finish(lost);
    return false;
  }
  reports_.Report();
  return true;
}

void LinkSequence::Close() {
  const Taken taken = Take(0);
  if (taken.link != 0) Finish(taken);
  WaitForEarlierCloses();
  reports_.Report();
}

void LinkSequence::CloseIfOpen(Link link) {
  if (link == 0) return;
  const Taken taken = Take(link);
  if (taken.link == 0) return;
  Finish(taken);
  reports_.Report();
}

LinkSequence::Taken LinkSequence::Take(Link expected) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const Link current = link_;
  if (current == 0 || (expected != 0 && current != expected)) return {};
  return TakeLocked(current, true);
}

LinkSequence::Taken LinkSequence::TakeLocked(Link current, bool report) {
  // A library that cannot close links throws here, and the link stays.
  if (!calls_.canClose()) calls_.close(current);
  link_ = 0;
  if (report) reports_.Add(kStateDisconnected);
  // Counted from here, wherever the close then runs, so that an open or
  // close on another thread that finds the link gone waits for its close.
  return {current, closes_->Begin()};
}

void LinkSequence::Finish(const Taken& taken) {
  auto closeAndEnd = [close = calls_.close, link = taken.link, closes = closes_, ticket = taken.ticket] {
    const struct Ending {
      Closes& closes;
      uint64_t ticket;
      ~Ending() { closes.End(ticket); }
    } ending{*closes, ticket};
    close(link);
  };
  try {
    if (calls_.taken) calls_.taken(taken.link);
  } catch (...) {
    closes_->End(taken.ticket);
    throw;
  }
  if (ThisThreadDelivers()) {
    // Nobody waits for the result: the link was taken already.
    HandOff(closeAndEnd);
  } else {
    closeAndEnd();
  }
}

}  // namespace pelorixj
