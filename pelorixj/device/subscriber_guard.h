// Hands a device's events to its one subscriber, so that a subscriber can be
// replaced or dropped while events arrive on other threads.
//
// A delivery reads the subscriber under a lock, holds it, counts itself in
// flight and runs it with no lock held. The guard and the deliveries share
// the subscriber, so it lives until the last delivery to it has ended.
//
// Changing the subscriber waits until no delivery to an earlier subscriber
// runs on another thread, so that none reaches it after the change, except
// when the changing thread is itself delivering an event (of any device):
// the other thread might be waiting for this one, so the change does not
// wait, and deliveries already under way elsewhere may still reach the
// subscriber replaced. Destroying the guard always waits for the deliveries
// on other threads, never for one on its own thread, so a subscriber may
// destroy its device from inside an event; a device released there is
// destroyed on another thread (DestroyDevice), which may wait.
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

  // Null drops the subscriber.
  void Set(std::shared_ptr<IEventSubscriber> subscriber);

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
