#include "pelorixj/jni/attached_thread.h"

namespace pelorixj {

AttachedThread::AttachedThread(JavaVM* vm) : vm_(vm) {
  if (vm_ == nullptr) {
    return;
  }
  void* env = nullptr;
  const jint found = vm_->GetEnv(&env, JNI_VERSION_1_6);
  if (found == JNI_EDETACHED) {
    if (vm_->AttachCurrentThread(&env, nullptr) != JNI_OK) {
      return;
    }
    attachedHere_ = true;
  } else if (found != JNI_OK) {
    return;
  }
  env_ = static_cast<JNIEnv*>(env);
}

AttachedThread::~AttachedThread() {
  if (attachedHere_) {
    vm_->DetachCurrentThread();
  }
}

}  // namespace pelorixj
