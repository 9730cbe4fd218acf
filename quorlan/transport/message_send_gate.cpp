#include "quorlan/transport/message_send_gate.h"

namespace quorlan {

bool MessageSendGate::Run(std::function<bool()> send, bool mayInterleave) {
  if (owner_.load() == std::this_thread::get_id()) {
    if (mayInterleave) return send();
    deferred_.push_back(std::move(send));
    return true;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  owner_.store(std::this_thread::get_id());
  bool sent;
  try {
    sent = send();
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
  return sent;
}

}  // namespace quorlan
