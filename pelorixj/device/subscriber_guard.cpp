#include "pelorixj/device/subscriber_guard.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "pelorixj/device/delivering_thread.h"

namespace pelorixj {

struct SubscriberGuard::State {
  struct Delivery {
    std::thread::id thread;
    uint64_t generation;
  };

  std::mutex mutex;
  std::condition_variable deliveryEnded;
  std::shared_ptr<IEventSubscriber> subscriber;
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

  // The subscriber replaced, for the caller to let go of with no lock held.
  std::shared_ptr<IEventSubscriber> Replace(std::unique_lock<std::mutex>& lock, std::shared_ptr<IEventSubscriber> next,
                                            bool wait) {
    std::shared_ptr<IEventSubscriber> replaced = std::exchange(subscriber, std::move(next));
    const uint64_t current = ++generation;
    if (wait) deliveryEnded.wait(lock, [&] { return !EarlierDeliveryOnOtherThread(current); });
    return replaced;
  }
};

SubscriberGuard::SubscriberGuard() : state_(std::make_shared<State>()) {}

SubscriberGuard::~SubscriberGuard() {
  std::shared_ptr<IEventSubscriber> replaced;  // let go of once the lock is
  std::unique_lock<std::mutex> lock(state_->mutex);
  state_->destroyed = true;
  replaced = state_->Replace(lock, nullptr, true);
}

void SubscriberGuard::Set(std::shared_ptr<IEventSubscriber> subscriber) {
  std::shared_ptr<IEventSubscriber> replaced;  // let go of once the lock is
  std::unique_lock<std::mutex> lock(state_->mutex);
  replaced = state_->Replace(lock, std::move(subscriber), !ThisThreadDelivers());
}

bool SubscriberGuard::Deliver(int eventType, ByteDataRecord payload) {
  // Held here: the subscriber may destroy the guard during the delivery.
  const std::shared_ptr<State> state = state_;
  std::shared_ptr<IEventSubscriber> subscriber;
  {
    std::lock_guard<std::mutex> lock(state->mutex);
    if (state->subscriber == nullptr) return true;
    subscriber = state->subscriber;
    state->running.push_back({std::this_thread::get_id(), state->generation});
  }
  try {
    const DeliveryOnThisThread delivering;
    subscriber->OnEvent(eventType, std::move(payload));
  } catch (...) {
    subscriber.reset();
    state->EndDelivery();
    throw;
  }
  subscriber.reset();
  return state->EndDelivery();
}

}  // namespace pelorixj
