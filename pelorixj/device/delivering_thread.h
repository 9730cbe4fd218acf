// Whether the current thread is inside a listener or callback of the
// application's, of any device: such a thread may be the one that another
// thread's close is waiting for, so nothing it calls may wait for another
// device's event thread.
#pragma once

namespace pelorixj {

// Counts this thread as delivering for its lifetime; nests.
class DeliveryOnThisThread {
 public:
  DeliveryOnThisThread();
  ~DeliveryOnThisThread();
  DeliveryOnThisThread(const DeliveryOnThisThread&) = delete;
  DeliveryOnThisThread& operator=(const DeliveryOnThisThread&) = delete;
};

bool ThisThreadDelivers();

}  // namespace pelorixj
