#include "pelorixj/jni/event_subscription.h"

#include <cstdint>
#include <memory>
#include <utility>

#include "pelorixj/jni/java_event_dispatcher.h"

namespace pelorixj {

bool SubscribeListener(JNIEnv* env, IDevice& device, jobject listener) {
  auto dispatcher = std::make_shared<JavaEventDispatcher>(env, listener);
  device.SetUserData(reinterpret_cast<uintptr_t>(dispatcher.get()));
  return device.SubscribeAll(std::move(dispatcher));
}

}  // namespace pelorixj
