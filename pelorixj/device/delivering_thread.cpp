#include "pelorixj/device/delivering_thread.h"

namespace pelorixj {
namespace {

// How many deliveries, of any device, this thread is inside.
thread_local int deliveriesOnThisThread = 0;

}  // namespace

DeliveryOnThisThread::DeliveryOnThisThread() { ++deliveriesOnThisThread; }

DeliveryOnThisThread::~DeliveryOnThisThread() { --deliveriesOnThisThread; }

bool ThisThreadDelivers() { return deliveriesOnThisThread > 0; }

}  // namespace pelorixj
