// A result that one thread waits for and others complete. The first
// completion counts; later ones, and those after a cancel, are dropped, so a
// reader that repeats a message disturbs nothing.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

namespace pelorixj {

template <class T>
class OneShot {
 public:
  // True when this completion counted.
  bool Set(T value) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (done_) return false;
    value_ = std::move(value);
    done_ = true;
    changed_.notify_all();
    return true;
  }

  // Ends the wait without a value.
  void Cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (done_) return;
    done_ = true;
    changed_.notify_all();
  }

  // Whether it was completed or cancelled; does not wait.
  bool Done() {
    std::lock_guard<std::mutex> lock(mutex_);
    return done_;
  }

  // The value; nullopt when none came within the wait or it was cancelled.
  std::optional<T> WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return done_; });
    return value_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool done_ = false;
  std::optional<T> value_;
};

}  // namespace pelorixj
