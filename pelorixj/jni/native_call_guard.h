// The frame of every native method: nothing escapes to Java. When the body
// throws, or returns with a Java exception pending, the exception is cleared
// and the method's failure value returned instead.
#pragma once

#include <jni.h>

#include <type_traits>

namespace pelorixj {

// failure is the value itself, or a function that makes it, for a value
// made only on failure (such as NewEmptyJavaString):
//   return GuardNativeCall(env, JNI_FALSE, [&] { return device->Open(); });
//   return GuardNativeCall(env, [env] { return NewEmptyJavaString(env); }, [&] { ... });
template <typename Failure, typename Body>
auto GuardNativeCall(JNIEnv* env, Failure&& failure, Body&& body) -> decltype(body()) {
  try {
    auto result = body();
    if (!env->ExceptionCheck()) {
      return result;
    }
  } catch (...) {
  }
  env->ExceptionClear();
  if constexpr (std::is_invocable_v<Failure>) {
    return failure();
  } else {
    return failure;
  }
}

// For methods without a result.
template <typename Body>
void GuardNativeCall(JNIEnv* env, Body&& body) {
  try {
    body();
  } catch (...) {
  }
  env->ExceptionClear();
}

}  // namespace pelorixj
