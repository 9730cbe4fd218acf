// The reads that a device makes of its own when the reader announces a
// file: run one after another on a thread that the device owns, so that
// none outlives the device and two never wait for files at once.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "pelorixj/device/stop_signal.h"

namespace pelorixj {

class FollowUpReads {
 public:
  // A read ends its waits early when its stop signal is raised. What it
  // throws is dropped.
  using Read = std::function<void(const StopSignal& stop)>;

  explicit FollowUpReads(Read read) : read_(std::move(read)) {}
  // Stops as StopAll does.
  ~FollowUpReads();
  FollowUpReads(const FollowUpReads&) = delete;
  FollowUpReads& operator=(const FollowUpReads&) = delete;

  // Replaces what a read does, from the next read on.
  void SetRead(Read read);

  // One more read, after those asked for before; starts the thread when
  // none runs. Throws std::system_error when no thread can be started.
  void Request();

  // Ends the running read's waits early, drops the reads not yet begun and
  // joins the thread. Must not run on that thread.
  void StopAll();

 private:
  void Work(std::shared_ptr<StopSignal> stop);

  std::mutex mutex_;
  Read read_;
  std::thread worker_;
  // The running worker's signal; null when none runs.
  std::shared_ptr<StopSignal> stop_;
  int pending_ = 0;
};

}  // namespace pelorixj
