// A signal that ends a wait early, raised once by the wait's owner: a
// device raises it to end a file read of its own when it closes.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace pelorixj {

class StopSignal {
 public:
  void Raise();

  // Waits until ready() holds, the signal is raised or the limit has
  // passed; true when ready() held. ready() runs with no lock held, every
  // few milliseconds, so it may wait on a future with a zero time-out.
  template <class Ready>
  bool WaitFor(std::chrono::milliseconds limit, Ready ready) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
      if (ready()) return true;
      std::unique_lock<std::mutex> lock(mutex_);
      const auto now = std::chrono::steady_clock::now();
      if (raised_ || now >= deadline) return false;
      changed_.wait_until(lock, std::min(deadline, now + kPollInterval));
      if (raised_) return false;
    }
  }

  // Never raised: for waits that nothing ends early.
  static const StopSignal& Never();

 private:
  static constexpr std::chrono::milliseconds kPollInterval{5};

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool raised_ = false;
};

}  // namespace pelorixj
