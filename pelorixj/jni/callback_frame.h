// One call from native code into a Java object's method, on any thread.
// The thread is attached for the call when it is not attached already; the
// call's local references live in a frame of their own, so that a long
// native call making many callbacks (a firmware update reporting progress
// for minutes) does not pile them up. A failed lookup's exception is
// cleared; the one the method throws is passed on (callback_exceptions.h)
// and cleared too. None reaches the code that made the callback, and the
// call then counts as not made.
#pragma once

#include <jni.h>

#include "pelorixj/jni/attached_thread.h"
#include "pelorixj/jni/callback_exceptions.h"

namespace pelorixj {

class CallbackFrame {
 public:
  // Throws JniFailure when the VM cannot give the frame.
  explicit CallbackFrame(JNIEnv* env);
  ~CallbackFrame();
  CallbackFrame(const CallbackFrame&) = delete;
  CallbackFrame& operator=(const CallbackFrame&) = delete;

 private:
  JNIEnv* env_;
};

// The object's instance method of that name and JNI signature; null when
// its class has none (the lookup's exception is cleared).
jmethodID FindInstanceMethod(JNIEnv* env, jobject object, const char* name, const char* signature);

// Runs call(env, method) with the object's method on the current thread,
// when the VM, the object and the method exist; does nothing otherwise.
// call must test for an exception (ExceptionCheck) before it uses what the
// method returned.
template <typename Call>
void CallJavaMethod(JavaVM* vm, jobject object, const char* name, const char* signature, Call&& call) {
  const AttachedThread thread(vm);
  JNIEnv* env = thread.Env();
  if (env == nullptr || object == nullptr) {
    return;
  }
  const CallbackFrame frame(env);
  const jmethodID method = FindInstanceMethod(env, object, name, signature);
  if (method != nullptr) {
    call(env, method);
    PassOnCallbackException(env);
  }
}

}  // namespace pelorixj
