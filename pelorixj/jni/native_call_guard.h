// The frame of every native method: nothing of its own escapes to Java.
// When the body throws, or returns with a Java exception pending, the
// exception is cleared and the method's failure value returned instead. The
// first exception that a callback into Java throws during the method is
// thrown from it at its end (callback_exceptions.h).
#pragma once

#include <jni.h>

#include <memory>
#include <type_traits>
#include <utility>

#include "pelorixj/core/live_objects.h"
#include "pelorixj/jni/callback_exceptions.h"

namespace pelorixj {

// failure is the value itself, or a function of the JNIEnv that makes it,
// for a value made only on failure (such as NewEmptyJavaString).
template <typename Failure>
auto FailureValue(JNIEnv* env, Failure&& failure) {
  if constexpr (std::is_invocable_v<Failure, JNIEnv*>) {
    return failure(env);
  } else {
    return failure;
  }
}

//   return GuardNativeCall(env, JNI_FALSE, [&] { return device->Open(); });
//   return GuardNativeCall(env, NewEmptyJavaString, [&] { ... });
template <typename Failure, typename Body>
auto GuardNativeCall(JNIEnv* env, Failure&& failure, Body&& body) -> decltype(body()) {
  const NativeMethodFrame frame(env);
  try {
    auto result = body();
    if (!env->ExceptionCheck()) {
      return result;
    }
  } catch (...) {
  }
  env->ExceptionClear();
  return FailureValue(env, std::forward<Failure>(failure));
}

// For methods without a result.
template <typename Body>
void GuardNativeCall(JNIEnv* env, Body&& body) {
  const NativeMethodFrame frame(env);
  try {
    body();
  } catch (...) {
  }
  env->ExceptionClear();
}

// The live object of the handle's kind, null for any other handle.
template <typename Object>
std::shared_ptr<Object> FindLive(jlong handle);

template <>
inline std::shared_ptr<IDevice> FindLive<IDevice>(jlong handle) {
  return Live().Device(handle);
}

template <>
inline std::shared_ptr<IDeviceControl> FindLive<IDeviceControl>(jlong handle) {
  return Live().Control(handle);
}

template <>
inline std::shared_ptr<IDeviceConfiguration> FindLive<IDeviceConfiguration>(jlong handle) {
  return Live().Configuration(handle);
}

// The frame of a method on a native object named by a handle. A handle that
// names no live object of the kind (0, released, of another kind, any other
// number) gives the failure value without touching the object; a live one
// stays alive until the body returns, even when another thread releases it.
//   return GuardHandleCall<IDevice>(env, device, JNI_FALSE, [&](IDevice& d) { return d.CancelTransaction(); });
template <typename Object, typename Failure, typename Body>
auto GuardHandleCall(JNIEnv* env, jlong handle, Failure&& failure, Body&& body)
    -> decltype(body(std::declval<Object&>())) {
  using Result = decltype(body(std::declval<Object&>()));
  if (handle == 0) {
    return FailureValue(env, failure);
  }
  return GuardNativeCall(env, failure, [&]() -> Result {
    const std::shared_ptr<Object> object = FindLive<Object>(handle);
    if (!object) {
      return FailureValue(env, failure);
    }
    return body(*object);
  });
}

}  // namespace pelorixj
