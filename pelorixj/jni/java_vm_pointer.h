// The process-wide Java VM pointers through which native threads reach Java:
// one for events, one for configuration callbacks. Each is set once, by the
// first adapter made, and never changed or cleared.
#pragma once

#include <jni.h>

#include <atomic>

namespace pelorixj {

class JavaVmPointer {
 public:
  // Stores the VM of env unless one is stored already. Throws JniFailure
  // when the VM cannot be had.
  void SetOnce(JNIEnv* env);

  // Null until set.
  JavaVM* Get() const { return vm_.load(std::memory_order_acquire); }

 private:
  std::atomic<JavaVM*> vm_{nullptr};
};

extern JavaVmPointer EventJavaVm;
extern JavaVmPointer ConfigurationJavaVm;

}  // namespace pelorixj
