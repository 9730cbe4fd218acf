// The two functions through which a control hands on what Quorlan reports:
// the owner's message handler and its connection-status handler.
//
// Quorlan calls them on its own threads while other threads may replace
// them. Each is copied under the lock and the copy called with no lock held,
// so a handler may replace either slot, or send and wait on its device, from
// inside a call. Every change of what receives messages goes through this
// one lock.
#pragma once

#include <functional>
#include <mutex>
#include <string>

namespace pelorixj {

using DataArriveHandler = std::function<void(std::string hexMessage)>;
using StatusChangeHandler = std::function<void(bool connected)>;

class ControlHandlers {
 public:
  void SetDataArriveHandler(DataArriveHandler handler);
  void SetStatusChangeHandler(StatusChangeHandler handler);

  // Each calls the handler set at the moment of the call, if any, and
  // touches nothing of this object once it has started it (the handler may
  // destroy the control). Exceptions of the handler pass through.
  void DeliverData(const std::string& hexMessage);
  void DeliverStatus(bool connected);

 private:
  std::mutex mutex_;
  DataArriveHandler data_;
  StatusChangeHandler status_;
};

}  // namespace pelorixj
