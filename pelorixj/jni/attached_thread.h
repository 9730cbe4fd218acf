// Lets the current thread call into Java for as long as this lives. A thread
// that is attached already (a Java thread, or a native thread attached by
// its owner) is used as it is and left attached; only a thread attached here
// is detached again at the end.
#pragma once

#include <jni.h>

namespace pelorixj {

class AttachedThread {
 public:
  explicit AttachedThread(JavaVM* vm);
  ~AttachedThread();
  AttachedThread(const AttachedThread&) = delete;
  AttachedThread& operator=(const AttachedThread&) = delete;

  // Null when there is no VM or the thread could not be attached.
  JNIEnv* Env() const { return env_; }

 private:
  JavaVM* vm_;
  JNIEnv* env_ = nullptr;
  bool attachedHere_ = false;
};

}  // namespace pelorixj
