#include "pelorixj/device/control_handlers.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace pelorixj {

void ControlHandlers::SetDataArriveHandler(DataArriveHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  data_ = std::move(handler);
}

void ControlHandlers::SetStatusChangeHandler(StatusChangeHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  status_ = std::move(handler);
}

WatcherToken ControlHandlers::AddWatcher(MessageWatcher watcher) {
  auto shared = std::make_shared<const MessageWatcher>(std::move(watcher));
  std::lock_guard<std::mutex> lock(mutex_);
  const WatcherToken token = nextToken_++;
  watchers_.push_back({token, std::move(shared)});
  return token;
}

void ControlHandlers::RemoveWatcher(WatcherToken token) {
  std::shared_ptr<const MessageWatcher> removed;  // released outside the lock
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = std::find_if(watchers_.begin(), watchers_.end(), [&](const Watching& w) { return w.token == token; });
  if (found == watchers_.end()) return;
  removed = std::move(found->watcher);
  watchers_.erase(found);
}

std::vector<std::shared_ptr<const MessageWatcher>> ControlHandlers::WatchersLocked() const {
  std::vector<std::shared_ptr<const MessageWatcher>> copies;
  copies.reserve(watchers_.size());
  for (const Watching& w : watchers_) copies.push_back(w.watcher);
  return copies;
}

void ControlHandlers::NotifyClosed() {
  std::vector<std::shared_ptr<const MessageWatcher>> watchers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    watchers = WatchersLocked();
  }
  for (const auto& watcher : watchers) {
    if (watcher->onClosed) watcher->onClosed();
  }
}

void ControlHandlers::DeliverData(const std::string& hexMessage) {
  DataArriveHandler handler;
  std::vector<std::shared_ptr<const MessageWatcher>> watchers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    watchers = WatchersLocked();
    const bool paused = std::any_of(watchers.begin(), watchers.end(), [](const auto& w) { return w->pausesHandler; });
    if (!paused) handler = data_;
  }
  std::exception_ptr failure;
  if (handler) {
    try {
      handler(hexMessage);
    } catch (...) {
      failure = std::current_exception();
    }
  }
  for (const auto& watcher : watchers) {
    if (watcher->onMessage) watcher->onMessage(hexMessage);
  }
  if (failure) std::rethrow_exception(failure);
}

void ControlHandlers::DeliverStatus(bool connected) {
  StatusChangeHandler handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    handler = status_;
  }
  if (handler) handler(connected);
}

}  // namespace pelorixj
