#include "pelorixj/jni/global_ref.h"

#include "pelorixj/jni/attached_thread.h"
#include "pelorixj/jni/java_vm_pointer.h"
#include "pelorixj/jni/jni_failure.h"

namespace pelorixj {

GlobalRef::GlobalRef(JNIEnv* env, jobject object) {
  if (object == nullptr) {
    return;
  }
  ref_ = env->NewGlobalRef(object);
  if (ref_ == nullptr) {
    ThrowJniFailure(env, "NewGlobalRef");
  }
}

GlobalRef::~GlobalRef() {
  if (ref_ == nullptr) {
    return;
  }
  JNIEnv* env = AttachedEnv(KeptJavaVm());
  if (env != nullptr) {
    env->DeleteGlobalRef(ref_);
  }
}

}  // namespace pelorixj
