#include "pelorixj/device/link_sequence.h"

#include <condition_variable>
#include <set>
#include <utility>

#include "pelorixj/device/delivering_thread.h"
#include "pelorixj/device/device_enums.h"
#include "pelorixj/device/hand_off.h"

namespace pelorixj {

// The closes handed off and still running, numbered as they were handed off.
struct LinkSequence::HandOffs {
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
    : calls_(std::move(calls)), handOffs_(std::make_shared<HandOffs>()), reports_(std::move(raise)) {}

LinkSequence::~LinkSequence() { handOffs_->WaitForEarlier(); }

void LinkSequence::WaitForEarlierHandOffs() {
  if (!ThisThreadDelivers()) handOffs_->WaitForEarlier();
}

bool LinkSequence::Open() {
  WaitForEarlierHandOffs();
  for (;;) {
    Link stale = 0;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      const Link current = link_;
      if (calls_.isOpen(current)) return current != 0;
      if (current == 0) {
        const Link opened = calls_.open();
        if (opened == 0) return false;
        link_ = opened;
        calls_.attach(opened);
        reports_.Add(kStateConnected);
        break;
      }
      stale = TakeLocked(current);
    }
    // The library closed the link by itself: it is closed here too, before
    // a new one is opened.
    Finish(stale);
    if (!reports_.Report()) return false;
  }
  reports_.Report();
  return true;
}

void LinkSequence::Close() {
  const Link taken = Take(0);
  if (taken != 0) Finish(taken);
  WaitForEarlierHandOffs();
  reports_.Report();
}

void LinkSequence::CloseIfOpen(Link link) {
  if (link == 0) return;
  const Link taken = Take(link);
  if (taken == 0) return;
  Finish(taken);
  reports_.Report();
}

LinkSequence::Link LinkSequence::Take(Link expected) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const Link current = link_;
  if (current == 0 || (expected != 0 && current != expected)) return 0;
  return TakeLocked(current);
}

LinkSequence::Link LinkSequence::TakeLocked(Link current) {
  // A library that cannot close links throws here, and the link stays.
  if (!calls_.canClose()) calls_.close(current);
  link_ = 0;
  reports_.Add(kStateDisconnected);
  return current;
}

void LinkSequence::Finish(Link taken) {
  if (calls_.taken) calls_.taken(taken);
  if (!ThisThreadDelivers()) {
    calls_.close(taken);
    return;
  }
  const uint64_t ticket = handOffs_->Begin();
  HandOff([close = calls_.close, taken, handOffs = handOffs_, ticket] {
    try {
      close(taken);
    } catch (...) {
      // Nobody waits for the result: the link was taken already.
    }
    handOffs->End(ticket);
  });
}

}  // namespace pelorixj
