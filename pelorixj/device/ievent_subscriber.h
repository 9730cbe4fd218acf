// The event sink that a caller subscribes to a device.
#pragma once

#include "pelorixj/device/byte_data_record.h"

namespace pelorixj {

class IEventSubscriber {
 public:
  virtual ~IEventSubscriber() = default;

  // eventType is an EventType. Called on whatever thread raised the event.
  virtual void OnEvent(int eventType, ByteDataRecord payload) = 0;
};

}  // namespace pelorixj
