#include "pelorixj/device/ibase_device.h"

#include <utility>

namespace pelorixj {

bool IBaseDevice::SubscribeAll(std::shared_ptr<IEventSubscriber> subscriber) {
  subscriber_.Set(std::move(subscriber));
  return true;
}

bool IBaseDevice::UnsubscribeAll() {
  subscriber_.Set(nullptr);
  return true;
}

bool IBaseDevice::RaiseEvent(int eventType, ByteDataRecord payload) {
  return subscriber_.Deliver(eventType, std::move(payload));
}

}  // namespace pelorixj
