// What becomes of a Java exception that a callback into Java throws. Native
// code goes on after the callback, so the exception cannot stay pending. On
// a thread inside one of our native methods, the first one is kept and
// thrown from that method when it returns, so that its caller sees it; on a
// library thread it goes to the thread's uncaught-exception handler, as an
// exception that ends one of Java's own threads does.
#pragma once

#include <jni.h>

namespace pelorixj {

// The native method running on this thread. Made first in the method, so
// that its end is the method's last JNI action; a native method called from
// a callback inside another gets a frame of its own, which ends before the
// outer one.
class NativeMethodFrame {
 public:
  explicit NativeMethodFrame(JNIEnv* env);
  // Throws the kept exception, if any, into Java and deletes its global
  // reference; the outer native method's frame is this thread's again.
  ~NativeMethodFrame();
  NativeMethodFrame(const NativeMethodFrame&) = delete;
  NativeMethodFrame& operator=(const NativeMethodFrame&) = delete;

 private:
  friend void PassOnCallbackException(JNIEnv* env);

  // Keeps a global reference to thrown unless one is kept already.
  void Keep(jthrowable thrown);

  JNIEnv* env_;
  NativeMethodFrame* outer_;
  jthrowable kept_ = nullptr;
};

// Takes the exception that a callback's Java method left pending, if any,
// and clears it: this thread's native method keeps it, or, on a thread
// outside our native methods, the thread's uncaught-exception handler gets
// it. Whatever the handler leaves pending is cleared too.
void PassOnCallbackException(JNIEnv* env);

}  // namespace pelorixj
