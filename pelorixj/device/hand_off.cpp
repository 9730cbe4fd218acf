#include "pelorixj/device/hand_off.h"

#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace pelorixj {
namespace {

class HandOffPool {
 public:
  // Joins the threads whose work has ended.
  void JoinEnded() {
    std::vector<std::thread> ended;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      ended.swap(ended_);
    }
    for (std::thread& thread : ended) thread.join();
  }

  // The process is ending: the threads that ended are joined, and those
  // that end later, which nobody would join, let go of themselves.
  void EndOfProcess() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      processEnding_ = true;
    }
    JoinEnded();
  }

  void Start(std::function<void()> work) {
    const std::lock_guard<std::mutex> lock(mutex_);
    // The lock is held until the thread is entered, where its end finds it.
    std::thread thread([this, work = std::move(work)] { Run(work); });
    running_.emplace(thread.get_id(), std::move(thread));
  }

 private:
  void Run(const std::function<void()>& work) {
    JoinEnded();
    try {
      work();
    } catch (...) {
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    auto self = running_.find(std::this_thread::get_id());
    if (processEnding_) {
      self->second.detach();
    } else {
      ended_.push_back(std::move(self->second));
    }
    running_.erase(self);
  }

  std::mutex mutex_;
  std::map<std::thread::id, std::thread> running_;
  // Threads whose work is done, for the next one to join.
  std::vector<std::thread> ended_;
  bool processEnding_ = false;
};

HandOffPool& Pool() {
  static auto* const pool = new HandOffPool();
  // The last thread to end has no successor to join it: the process's end
  // does. Threads still at work then are left to it.
  static const struct JoinAtExit {
    ~JoinAtExit() { pool->EndOfProcess(); }
  } joinAtExit;
  return *pool;
}

}  // namespace

void HandOff(std::function<void()> work) {
  try {
    Pool().Start(work);
    return;
  } catch (...) {
    // No thread to be had: the work runs here, waiting as it must.
  }
  try {
    work();
  } catch (...) {
  }
}

}  // namespace pelorixj
