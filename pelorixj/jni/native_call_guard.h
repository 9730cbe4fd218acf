// The frame of every native method: nothing escapes to Java. When the body
// throws, or returns with a Java exception pending, the exception is cleared
// and the method's failure value returned instead.
#pragma once

#include <jni.h>

#include <cstdint>
#include <type_traits>
#include <utility>

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

// A native object that Java holds as a long: its raw address, 0 for none.
template <typename Object>
Object* FromHandle(jlong handle) {
  return reinterpret_cast<Object*>(static_cast<intptr_t>(handle));
}

template <typename Object>
jlong ToHandle(Object* object) {
  return static_cast<jlong>(reinterpret_cast<intptr_t>(object));
}

// The frame of a method on a native object named by a handle: handle 0
// gives the failure value without any call; any other handle is trusted.
//   return GuardHandleCall<IDevice>(env, device, JNI_FALSE, [&](IDevice& d) { return d.CancelTransaction(); });
template <typename Object, typename Failure, typename Body>
auto GuardHandleCall(JNIEnv* env, jlong handle, Failure&& failure, Body&& body)
    -> decltype(body(std::declval<Object&>())) {
  Object* object = FromHandle<Object>(handle);
  if (object == nullptr) {
    return FailureValue(env, std::forward<Failure>(failure));
  }
  return GuardNativeCall(env, std::forward<Failure>(failure), [&] { return body(*object); });
}

}  // namespace pelorixj
