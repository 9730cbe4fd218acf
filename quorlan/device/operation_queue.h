// Runs a device's data callback for each received message off the
// connection's reader thread: one message at a time, in arrival order, on a
// worker thread of the queue. Enqueue never waits for a callback.
//
// The worker stays for a short linger after the queue empties, so that
// messages that come a few milliseconds apart reuse it instead of each
// starting a thread; it wakes once at the end of the linger (never
// periodically) and ends when nothing came meanwhile, so an idle queue holds
// no thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace quorlan {

template <typename Target>
class OperationQueue {
 public:
  using Payload = std::vector<uint8_t>;
  using Callback = std::function<void(Target, Payload)>;
  using Clock = std::chrono::steady_clock;

  static constexpr std::chrono::milliseconds kDefaultLinger{1000};

  explicit OperationQueue(Clock::duration linger = kDefaultLinger) : state_(std::make_shared<State>(linger)) {}
  OperationQueue(const OperationQueue&) = delete;
  OperationQueue& operator=(const OperationQueue&) = delete;

  // Drops the messages still queued and refuses later ones; a callback that
  // is running goes on, and a lingering worker leaves.
  void Close() {
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      state_->closed = true;
      state_->queued.Clear();
    }
    state_->wake.notify_all();
  }

  ~OperationQueue() { Stop(); }

  // Closes the queue and waits for the worker to end, unless called from a
  // callback of its own.
  void Stop() {
    Close();
    std::thread worker;
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      worker = std::move(state_->worker);
    }
    if (!worker.joinable()) return;
    if (worker.get_id() == std::this_thread::get_id()) {
      // Stopped from its own callback: the worker holds the shared state
      // and leaves as soon as the callback returns.
      worker.detach();
    } else {
      worker.join();
    }
  }

  // The callback is taken as it is now: replacing the device's callback
  // later does not change what this message is delivered to.
  void Enqueue(Callback callback, Target target, Payload payload) {
    bool wake = false;
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      if (state_->closed) return;
      state_->queued.Add(std::move(callback), std::move(target), std::move(payload));
      if (state_->running) {
        wake = state_->lingering;
        state_->lingering = false;
      } else {
        StartWorker();
      }
    }
    if (wake) state_->wake.notify_one();
  }

 private:
  // Small payloads travel as bytes in a store of the batch: memory freed on
  // another thread than the one that took it costs far more than copying a
  // few bytes. Larger ones travel whole.
  static constexpr size_t kLargePayload = 4096;

  struct Task {
    Callback callback;
    Target target;
    Payload large;
    size_t offset = 0;
    size_t size = 0;
  };

  // Tasks in arrival order. Swapped whole between the enqueuing side and the
  // worker, so that neither allocates once both have grown.
  struct Batch {
    std::vector<Task> tasks;
    std::vector<uint8_t> bytes;

    bool Empty() const { return tasks.empty(); }
    void Clear() {
      tasks.clear();
      bytes.clear();
    }
    void Add(Callback callback, Target target, Payload payload) {
      Task task{std::move(callback), std::move(target), Payload(), bytes.size(), payload.size()};
      if (payload.size() > kLargePayload) {
        task.large = std::move(payload);
      } else {
        bytes.insert(bytes.end(), payload.begin(), payload.end());
      }
      tasks.push_back(std::move(task));
    }
    Payload TakePayload(Task& task) const {
      if (task.size > kLargePayload) return std::move(task.large);
      return Payload(bytes.begin() + task.offset, bytes.begin() + task.offset + task.size);
    }
  };

  struct State {
    explicit State(Clock::duration linger) : linger(linger) {}

    const Clock::duration linger;
    std::mutex mutex;
    std::condition_variable wake;
    Batch queued;
    bool running = false;
    // The worker waits for a message or the end of its linger.
    bool lingering = false;
    std::atomic<bool> closed{false};
    std::thread worker;
    // Taken and joined by the worker as it starts.
    std::thread previous;
  };

  // Under the lock.
  void StartWorker() {
    std::thread worker;
    try {
      worker = std::thread(&OperationQueue::Drain, state_);
    } catch (const std::system_error&) {
      // No thread to be had now: the message waits for the next Enqueue.
      return;
    }
    // The previous worker has ended its linger and is at most leaving; the
    // new one joins it, so the enqueuing thread never waits.
    state_->previous = std::move(state_->worker);
    state_->worker = std::move(worker);
    state_->running = true;
  }

  static void Drain(std::shared_ptr<State> state) {
    std::thread previous;
    {
      std::lock_guard<std::mutex> lock(state->mutex);
      previous = std::move(state->previous);
    }
    if (previous.joinable()) previous.join();
    Batch batch;
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(state->mutex);
        if (state->queued.Empty() && !state->closed) {
          state->lingering = true;
          state->wake.wait_until(lock, Clock::now() + state->linger,
                                 [&] { return !state->queued.Empty() || state->closed; });
          state->lingering = false;
        }
        // Emptiness and the end of running are decided under one lock, so a
        // message enqueued now either is taken here or starts a new worker.
        if (state->queued.Empty() || state->closed) {
          state->running = false;
          // An idle queue keeps no storage grown by the last burst.
          state->queued = Batch();
          return;
        }
        std::swap(batch, state->queued);
      }
      // A close between two callbacks drops the rest of the batch.
      for (size_t i = 0; i < batch.tasks.size() && !state->closed; ++i) {
        Task& task = batch.tasks[i];
        try {
          task.callback(std::move(task.target), batch.TakePayload(task));
        } catch (...) {
          // A failing callback (an empty one included) must not stop later messages.
        }
        task.callback = nullptr;
      }
      batch.Clear();
    }
  }

  std::shared_ptr<State> state_;
};

}  // namespace quorlan
