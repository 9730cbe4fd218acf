#include "pelorixj/device/connection_state_reports.h"

#include <mutex>
#include <thread>
#include <utility>

#include "pelorixj/device/device_enums.h"

namespace pelorixj {

struct ConnectionStateReports::State {
  ReadState read;
  Raise raise;
  std::mutex mutex;
  uint32_t reported = kStateDisconnected;
  // A report was asked for since the reporting thread last read the state.
  bool pending = false;
  bool reporting = false;
  std::thread::id reporter;
  // An event destroyed the device: nothing more is reported.
  bool gone = false;
};

ConnectionStateReports::ConnectionStateReports(ReadState read, Raise raise) : state_(std::make_shared<State>()) {
  state_->read = std::move(read);
  state_->raise = std::move(raise);
}

bool ConnectionStateReports::Report() {
  // Held here: the listener may destroy the device, and this, during an event.
  const std::shared_ptr<State> state = state_;
  std::unique_lock<std::mutex> lock(state->mutex);
  state->pending = true;
  const auto self = std::this_thread::get_id();
  if (state->gone || (state->reporting && state->reporter != self)) return !state->gone;
  const bool outermost = !state->reporting;
  state->reporting = true;
  state->reporter = self;
  while (!state->gone && state->pending) {
    state->pending = false;
    const uint32_t current = state->read();
    if (current == state->reported) continue;
    state->reported = current;
    lock.unlock();
    const bool live = state->raise(current);
    lock.lock();
    if (!live) state->gone = true;
  }
  if (outermost) state->reporting = false;
  return !state->gone;
}

}  // namespace pelorixj
