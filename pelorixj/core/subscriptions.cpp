#include "pelorixj/core/subscriptions.h"

namespace pelorixj {

bool Unsubscribe(IDevice& device) {
  const bool unsubscribed = device.UnsubscribeAll();
  device.SetUserData(0);
  return unsubscribed;
}

}  // namespace pelorixj
