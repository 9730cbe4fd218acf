// Waiting for what another thread is bound to do. CI runs the tests on busy
// cores under the sanitizers, where that may take many seconds.
#pragma once

#include <chrono>
#include <thread>

namespace test_support {

// The limit of every wait for something the test expects to happen. Such a
// wait ends as soon as it does, so only a failing test sits the limit out.
constexpr std::chrono::milliseconds kRoomyWait = std::chrono::seconds(60);

// Polls every few milliseconds until the condition holds; false if the limit
// passes first.
template <typename Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit = kRoomyWait) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace test_support
