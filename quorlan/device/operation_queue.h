// Runs a device's data callback for each received message off the
// connection's reader thread: one message at a time, in arrival order, on a
// worker thread that exists only while there is work. Enqueue never waits for
// a callback.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace quorlan {

template <typename Target, typename Payload>
class OperationQueue {
 public:
  using Callback = std::function<void(Target, Payload)>;

  OperationQueue() : state_(std::make_shared<State>()) {}
  OperationQueue(const OperationQueue&) = delete;
  OperationQueue& operator=(const OperationQueue&) = delete;

  // Drops the messages still queued and refuses later ones; a callback that
  // is running goes on.
  void Close() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->closed = true;
    state_->tasks.clear();
  }

  ~OperationQueue() { Stop(); }

  // Closes the queue and waits for a callback that is running, unless called
  // from that callback.
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
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->closed) return;
    state_->tasks.push_back(
        [callback = std::move(callback), target = std::move(target), payload = std::move(payload)]() mutable {
          callback(std::move(target), std::move(payload));
        });
    if (state_->running) return;
    std::thread worker;
    try {
      worker = std::thread(&OperationQueue::Drain, state_);
    } catch (const std::system_error&) {
      // No thread to be had now: the message waits for the next Enqueue.
      return;
    }
    // The previous worker has drained the queue and is at most leaving; the
    // new one joins it, so the enqueuing thread never waits.
    state_->previous = std::move(state_->worker);
    state_->worker = std::move(worker);
    state_->running = true;
  }

 private:
  struct State {
    std::mutex mutex;
    std::deque<std::function<void()>> tasks;
    bool running = false;
    bool closed = false;
    std::thread worker;
    // Taken and joined by the worker as it starts.
    std::thread previous;
  };

  static void Drain(std::shared_ptr<State> state) {
    std::thread previous;
    {
      std::lock_guard<std::mutex> lock(state->mutex);
      previous = std::move(state->previous);
    }
    if (previous.joinable()) previous.join();
    for (;;) {
      std::function<void()> task;
      {
        std::lock_guard<std::mutex> lock(state->mutex);
        // Emptiness and the end of running are decided under one lock, so a
        // message enqueued now either is taken here or starts a new worker.
        if (state->tasks.empty() || state->closed) {
          state->running = false;
          return;
        }
        task = std::move(state->tasks.front());
        state->tasks.pop_front();
      }
      try {
        task();
      } catch (...) {
        // A failing callback (an empty one included) must not stop later messages.
      }
    }
  }

  std::shared_ptr<State> state_;
};

}  // namespace quorlan
