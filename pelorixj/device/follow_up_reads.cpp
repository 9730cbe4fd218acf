#include "pelorixj/device/follow_up_reads.h"

#include <utility>

namespace pelorixj {

FollowUpReads::~FollowUpReads() { StopAll(); }

void FollowUpReads::SetRead(Read read) {
  std::lock_guard<std::mutex> lock(mutex_);
  read_ = std::move(read);
}

void FollowUpReads::Request() {
  std::thread finished;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++pending_;
    if (stop_) return;
    auto stop = std::make_shared<StopSignal>();
    std::thread worker;
    try {
      worker = std::thread(&FollowUpReads::Work, this, stop);
    } catch (...) {
      --pending_;
      throw;
    }
    // The worker before this one has ended its work; it is joined below.
    finished = std::exchange(worker_, std::move(worker));
    stop_ = std::move(stop);
  }
  if (finished.joinable()) finished.join();
}

void FollowUpReads::StopAll() {
  std::thread worker;
  std::shared_ptr<StopSignal> stop;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    worker = std::move(worker_);
    stop = std::exchange(stop_, nullptr);
    pending_ = 0;
  }
  if (stop) stop->Raise();
  if (worker.joinable()) worker.join();
}

void FollowUpReads::Work(std::shared_ptr<StopSignal> stop) {
  std::unique_lock<std::mutex> lock(mutex_);
  // A worker whose signal is no longer the current one was stopped.
  while (pending_ > 0 && stop_ == stop) {
    --pending_;
    const Read read = read_;
    lock.unlock();
    try {
      if (read) read(*stop);
    } catch (...) {
      // The read's result and failures are not wanted.
    }
    lock.lock();
  }
  if (stop_ == stop) stop_.reset();
}

}  // namespace pelorixj
