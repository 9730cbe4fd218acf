// One call from native code into a Java object's method, on any thread.
// The thread gets its way into Java from attached_thread.h; the call's
// local references live in a frame of their own, so that a long native call
// making many callbacks (a firmware update reporting progress for minutes)
// does not pile them up. The exception that the method throws is passed on
// (callback_exceptions.h) and cleared; none reaches the code that made the
// callback, and the call then counts as not made.
#pragma once

#include <jni.h>

#include "pelorixj/device/delivering_thread.h"
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

// The instance method of that name and JNI signature of the object's class;
// null when the object is null or its class has none (the lookup's
// exception is cleared). Looked up once for an object that is called many
// times: a class's methods never change.
jmethodID FindInstanceMethod(JNIEnv* env, jobject object, const char* name, const char* signature);

// Runs call(env) on the current thread, when the VM, the object and its
// method (from FindInstanceMethod) exist; does nothing otherwise. call must
// test for an exception (ExceptionCheck) before it uses what the method
// returned. The thread counts as delivering meanwhile, so that what the
// Java method calls waits for no other device's event thread.
template <typename Call>
void CallJavaMethod(JavaVM* vm, jobject object, jmethodID method, Call&& call) {
  if (object == nullptr || method == nullptr) {
    return;
  }
  JNIEnv* env = AttachedEnv(vm);
  if (env == nullptr) {
    return;
  }
  const CallbackFrame frame(env);
  const DeliveryOnThisThread delivering;
  call(env);
  PassOnCallbackException(env);
}

}  // namespace pelorixj
