// The functions through which a control hands on what Quorlan reports: the
// owner's message handler, its connection-status handler, and the watchers
// that configuration operations add while they wait for the reader.
//
// Quorlan calls them on its own threads while other threads may replace
// them. Each is copied under the lock and the copy called with no lock held,
// so a handler may replace either slot, or send and wait on its device, from
// inside a call. Every change of what receives messages goes through this
// one lock.
//
// Watchers come and go by token, never by replacing the owner's handler, so
// operations that overlap cannot restore a handler that another one put in
// place. A watcher may still be called once just after it is removed (a
// delivery that had copied it): what it touches must outlive it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace pelorixj {

using DataArriveHandler = std::function<void(std::string hexMessage)>;
using StatusChangeHandler = std::function<void(bool connected)>;

// Neither function may throw.
struct MessageWatcher {
  std::function<void(const std::string& hexMessage)> onMessage;
  // The control closed or is being destroyed: whatever the watcher waits
  // for will not come.
  std::function<void()> onClosed;
  // While such a watcher is present the owner's handler gets nothing.
  bool pausesHandler = false;
};

using WatcherToken = uint64_t;

class ControlHandlers {
 public:
  void SetDataArriveHandler(DataArriveHandler handler);
  void SetStatusChangeHandler(StatusChangeHandler handler);

  WatcherToken AddWatcher(MessageWatcher watcher);
  void RemoveWatcher(WatcherToken token);
  // Tells every present watcher that the control closed.
  void NotifyClosed();

  // Calls the handler set at the moment of the call, unless a watcher
  // pauses it, then every watcher, each with the message whatever the
  // handler did. Touches nothing of this object once it has started them
  // (the handler may destroy the control). An exception of the handler
  // passes through after the watchers had the message.
  void DeliverData(const std::string& hexMessage);
  void DeliverStatus(bool connected);

 private:
  struct Watching {
    WatcherToken token;
    std::shared_ptr<const MessageWatcher> watcher;
  };
  std::vector<std::shared_ptr<const MessageWatcher>> WatchersLocked() const;

  std::mutex mutex_;
  DataArriveHandler data_;
  StatusChangeHandler status_;
  std::vector<Watching> watchers_;
  WatcherToken nextToken_ = 1;
};

}  // namespace pelorixj
