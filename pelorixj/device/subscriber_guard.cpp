#include "pelorixj/device/subscriber_guard.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace pelorixj {

struct SubscriberGuard::State {
  struct Delivery {
    std::thread::id thread;
    uint64_t generation;
  };

  std::mutex mutex;
  std::condition_variable deliveryEnded;
  IEventSubscriber* subscriber = nullptr;
  // Advances with every change of subscriber.
  uint64_t generation = 0;
  std::vector<Delivery> running;
  bool destroyed = false;

  // Called with the lock held.
  bool EarlierDeliveryOnOtherThread(uint64_t current) const {
    const auto self = std::this_thread::get_id();
    return std::any_of(running.begin(), running.end(),
                       [&](const Delivery& d) { return d.generation < current && d.thread != self; });
  }

  // Ends this thread's latest delivery; false when the guard is gone.
  bool EndDelivery() {
    std::lock_guard<std::mutex> lock(mutex);
    const auto self = std::this_thread::get_id();
    auto latest = std::find_if(running.rbegin(), running.rend(), [&](const Delivery& d) { return d.thread == self; });
    running.erase(std::next(latest).base());
    deliveryEnded.notify_all();
    return !destroyed;
  }

  void Replace(std::unique_lock<std::mutex>& lock, IEventSubscriber* next) {
    subscriber = next;
    const uint64_t current = ++generation;
    deliveryEnded.wait(lock, [&] { return !EarlierDeliveryOnOtherThread(current); });
  }
};

SubscriberGuard::SubscriberGuard() : state_(std::make_shared<State>()) {}

SubscriberGuard::~SubscriberGuard() {
  std::unique_lock<std::mutex> lock(state_->mutex);
  state_->destroyed = true;
  state_->Replace(lock, nullptr);
}

void SubscriberGuard::Set(IEventSubscriber* subscriber) {
  std::unique_lock<std::mutex> lock(state_->mutex);
  state_->Replace(lock, subscriber);
}

bool SubscriberGuard::Deliver(int eventType, ByteDataRecord payload) {
  // Held here: the subscriber may destroy the guard during the delivery.
  const std::shared_ptr<State> state = state_;
  IEventSubscriber* subscriber = nullptr;
  {
    std::lock_guard<std::mutex> lock(state->mutex);
    if (state->subscriber == nullptr) return true;
    subscriber = state->subscriber;
    state->running.push_back({std::this_thread::get_id(), state->generation});
  }
  try {
    subscriber->OnEvent(eventType, std::move(payload));
  } catch (...) {
    state->EndDelivery();
    throw;
  }
  return state->EndDelivery();
}

}  // namespace pelorixj
