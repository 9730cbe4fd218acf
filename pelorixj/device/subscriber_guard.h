// Hands a device's events to its one subscriber, so that a subscriber can be
// replaced or dropped while events arrive on other threads.
//
// A delivery reads the subscriber under a lock, counts itself in flight and
// runs the subscriber with no lock held. Changing the subscriber (and
// destroying the guard) waits until no delivery to an earlier subscriber is
// running on another thread; it never waits for one on its own thread, so a
// subscriber may unsubscribe, or release its device, from inside an event.
// Changing the subscriber from inside deliveries on two threads at once
// waits on each other and must not be done.
#pragma once

#include <memory>

#include "pelorixj/device/byte_data_record.h"
#include "pelorixj/device/ievent_subscriber.h"

namespace pelorixj {

class SubscriberGuard {
 public:
  SubscriberGuard();
  ~SubscriberGuard();
  SubscriberGuard(const SubscriberGuard&) = delete;
  SubscriberGuard& operator=(const SubscriberGuard&) = delete;

  // Null drops the subscriber. On return no other thread is running the one
  // replaced.
  void Set(IEventSubscriber* subscriber);

  // Delivers to the current subscriber, if any. False when the guard was
  // destroyed during the delivery (the subscriber released the device):
  // the caller must then return without touching its device. Exceptions of
  // the subscriber pass through.
  bool Deliver(int eventType, ByteDataRecord payload);

 private:
  struct State;
  // Shared with running deliveries, which may outlive the guard.
  std::shared_ptr<State> state_;
};

}  // namespace pelorixj
