// A JNI call that failed (out of memory, mostly). Thrown so that the native
// method's guard, or the callback's frame, gives the failure value; the
// Java exception that the call left pending is cleared first, since no
// further JNI call may run while it is.
#pragma once

#include <jni.h>

#include <stdexcept>

namespace pelorixj {

class JniFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// what names the call that failed.
[[noreturn]] inline void ThrowJniFailure(JNIEnv* env, const char* what) {
  env->ExceptionClear();
  throw JniFailure(what);
}

}  // namespace pelorixj
