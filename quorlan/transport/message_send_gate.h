// Keeps the packets of one message together on a link that several threads
// send on: one message goes out at a time, whole.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace quorlan {

class MessageSendGate {
 public:
  // Runs send while no other send of this gate runs, and returns its result.
  // A send started from inside a running one on the same thread (a progress
  // callback sending again) cannot wait for it: it runs at once if it may go
  // between the running send's writes (mayInterleave), else right after it,
  // and Run then returns true at once, its result unknown.
  bool Run(std::function<bool()> send, bool mayInterleave = false);

 private:
  std::mutex mutex_;
  std::atomic<std::thread::id> owner_{};
  // Touched only by the thread that holds mutex_.
  std::deque<std::function<bool()>> deferred_;
};

}  // namespace quorlan
