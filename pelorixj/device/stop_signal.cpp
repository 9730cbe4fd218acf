#include "pelorixj/device/stop_signal.h"

namespace pelorixj {

void StopSignal::Raise() {
  std::lock_guard<std::mutex> lock(mutex_);
  raised_ = true;
  changed_.notify_all();
}

const StopSignal& StopSignal::Never() {
  static const StopSignal* const never = new StopSignal();
  return *never;
}

}  // namespace pelorixj
