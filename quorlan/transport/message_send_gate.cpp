#include "quorlan/transport/message_send_gate.h"

namespace quorlan {

void MessageSendGate::Run(std::function<void()> send, bool mayInterleave) {
  if (owner_.load() == std::this_thread::get_id()) {
    if (mayInterleave) {
      send();
    } else {
      deferred_.push_back(std::move(send));
    }
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  owner_.store(std::this_thread::get_id());
  try {
    send();
    while (!deferred_.empty()) {
      auto next = std::move(deferred_.front());
      deferred_.pop_front();
      next();
    }
  } catch (...) {
    deferred_.clear();
    owner_.store(std::thread::id());
    throw;
  }
  owner_.store(std::thread::id());
}

}  // namespace quorlan
