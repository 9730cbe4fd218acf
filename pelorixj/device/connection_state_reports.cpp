#include "pelorixj/device/connection_state_reports.h"

#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace pelorixj {

struct ConnectionStateReports::State {
  Raise raise;
  std::mutex mutex;
  std::deque<uint32_t> changes;
  bool reporting = false;
  std::thread::id reporter;
  // The owner is gone: nothing more is raised.
  bool gone = false;
};

ConnectionStateReports::ConnectionStateReports(Raise raise) : state_(std::make_shared<State>()) {
  state_->raise = std::move(raise);
}

ConnectionStateReports::~ConnectionStateReports() {
  const std::lock_guard<std::mutex> lock(state_->mutex);
  state_->gone = true;
  state_->changes.clear();
}

void ConnectionStateReports::Add(uint32_t state) {
  if (!state_->raise) return;
  const std::lock_guard<std::mutex> lock(state_->mutex);
  state_->changes.push_back(state);
}

bool ConnectionStateReports::Report() {
  // Held here: the listener may destroy the owner, and this, during an event.
  const std::shared_ptr<State> state = state_;
  std::unique_lock<std::mutex> lock(state->mutex);
  const auto self = std::this_thread::get_id();
  if (state->gone || (state->reporting && state->reporter != self)) return !state->gone;
  const bool outermost = !state->reporting;
  state->reporting = true;
  state->reporter = self;
  std::exception_ptr failure;
  while (!state->gone && !state->changes.empty()) {
    const uint32_t change = state->changes.front();
    state->changes.pop_front();
    lock.unlock();
    try {
      state->raise(change);
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
    lock.lock();
  }
  if (outermost) state->reporting = false;
  const bool live = !state->gone;
  lock.unlock();
  if (failure) std::rethrow_exception(failure);
  return live;
}

}  // namespace pelorixj
