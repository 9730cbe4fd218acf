// Raises a link's connection-state events: one for every change, in the
// order of the changes, so that the listener hears every link that opened
// and closed and the last event names the link's state.
//
// The owner adds each change while it holds what orders the changes, and
// asks for the reports once it holds nothing. One thread reports at a time.
// A report asked for while another thread is reporting is left to that
// thread, which raises every change added before it stops: no thread ever
// waits for another one's event, so a listener may open or close the link,
// or release the device, from inside an event. A report asked for from
// inside an event on the reporting thread is made at once (events nest).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace pelorixj {

class ConnectionStateReports {
 public:
  // Raises the event of a state; empty raises nothing.
  using Raise = std::function<void(uint32_t state)>;

  explicit ConnectionStateReports(Raise raise);
  // Nothing more is raised, also by a report under way on this thread (its
  // event destroyed the owner). Must not run while another thread raises.
  ~ConnectionStateReports();
  ConnectionStateReports(const ConnectionStateReports&) = delete;
  ConnectionStateReports& operator=(const ConnectionStateReports&) = delete;

  // A change of the link, to be raised after those added before.
  void Add(uint32_t state);

  // False when the owner was destroyed during an event: the caller must
  // then return without touching it. The first exception of an event passes
  // through once the changes are raised.
  bool Report();

 private:
  struct State;
  // Shared with running reports, which may outlive the owner.
  std::shared_ptr<State> state_;
};

}  // namespace pelorixj
