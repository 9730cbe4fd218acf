#include "pelorixj/device/ibase_device.h"

namespace pelorixj {

bool IBaseDevice::SubscribeAll(IEventSubscriber* subscriber) {
  subscriber_.Set(subscriber);
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
