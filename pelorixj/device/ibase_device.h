// The common base of both families' devices: the caller's user-data word and
// the one event subscriber, which every event reaches through RaiseEvent.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "pelorixj/device/idevice.h"
#include "pelorixj/device/subscriber_guard.h"

namespace pelorixj {

class IBaseDevice : public IDevice {
 public:
  uint64_t GetUserData() const override { return userData_.load(); }
  void SetUserData(uint64_t word) override { userData_.store(word); }

  // On return no other thread is delivering to the subscriber replaced or
  // dropped, unless this thread is delivering an event (see
  // SubscriberGuard). Always true.
  bool SubscribeAll(std::shared_ptr<IEventSubscriber> subscriber) override;
  bool UnsubscribeAll() override;

 protected:
  // Delivers to the subscriber, if any. False when the subscriber released
  // this device during the delivery: return at once without touching it.
  bool RaiseEvent(int eventType, ByteDataRecord payload);

 private:
  std::atomic<uint64_t> userData_{0};
  SubscriberGuard subscriber_;
};

}  // namespace pelorixj
