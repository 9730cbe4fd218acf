#include "pelorixj/jni/event_subscription.h"

#include <cstdint>
#include <memory>
#include <mutex>

#include "pelorixj/jni/java_event_dispatcher.h"

namespace pelorixj {
namespace {

// Never destroyed: native threads may still release devices at exit.
std::mutex& SubscriptionMutex() {
  static auto* const mutex = new std::mutex();
  return *mutex;
}

JavaEventDispatcher* DispatcherOf(const IDevice& device) {
  return reinterpret_cast<JavaEventDispatcher*>(static_cast<uintptr_t>(device.GetUserData()));
}

uint64_t WordOf(JavaEventDispatcher* dispatcher) { return reinterpret_cast<uintptr_t>(dispatcher); }

}  // namespace

bool SubscribeListener(JNIEnv* env, IDevice& device, jobject listener) {
  auto made = std::make_unique<JavaEventDispatcher>(env, listener);
  const std::lock_guard<std::mutex> lock(SubscriptionMutex());
  JavaEventDispatcher* const replaced = DispatcherOf(device);
  // Owned through the word from here. Should the device fail, both stay
  // alive: it may hold either.
  JavaEventDispatcher* const added = made.release();
  device.SetUserData(WordOf(added));
  const bool subscribed = device.SubscribeAll(added);
  delete replaced;
  return subscribed;
}

bool UnsubscribeListener(IDevice& device) {
  const std::lock_guard<std::mutex> lock(SubscriptionMutex());
  JavaEventDispatcher* const subscribed = DispatcherOf(device);
  const bool unsubscribed = device.UnsubscribeAll();
  device.SetUserData(0);
  delete subscribed;
  return unsubscribed;
}

}  // namespace pelorixj
