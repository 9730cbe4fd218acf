// Raises a device's connection-state events: one each time the state of its
// link differs from the one last reported, so that the listener sees each
// change once and the last event always names the link's state.
//
// One thread reports at a time. A report asked for while another thread is
// reporting is left to that thread, which looks at the link again before it
// stops: no thread ever waits for another one's event, so a listener may
// open or close the link, or release the device, from inside an event. A
// report asked for from inside an event on the reporting thread is made at
// once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace pelorixj {

class ConnectionStateReports {
 public:
  // Reads the link's state.
  using ReadState = std::function<uint32_t()>;
  // Raises the event of a state; false when the device was destroyed
  // during the event.
  using Raise = std::function<bool(uint32_t state)>;

  ConnectionStateReports(ReadState read, Raise raise);

  // False when the device was destroyed during an event: the caller must
  // then return without touching it.
  bool Report();

 private:
  struct State;
  // Shared with running reports, which may outlive the device.
  std::shared_ptr<State> state_;
};

}  // namespace pelorixj
