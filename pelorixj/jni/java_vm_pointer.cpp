#include "pelorixj/jni/java_vm_pointer.h"

#include "pelorixj/jni/jni_failure.h"

namespace pelorixj {

// Constant-initialised: ready before any static initialiser runs.
JavaVmPointer EventJavaVm;
JavaVmPointer ConfigurationJavaVm;

void JavaVmPointer::SetOnce(JNIEnv* env) {
  if (Get() != nullptr) {
    return;
  }
  JavaVM* vm = nullptr;
  if (env->GetJavaVM(&vm) != JNI_OK || vm == nullptr) {
    ThrowJniFailure(env, "GetJavaVM");
  }
  JavaVM* none = nullptr;
  vm_.compare_exchange_strong(none, vm, std::memory_order_acq_rel);
}

}  // namespace pelorixj
