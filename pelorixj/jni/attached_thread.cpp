#include "pelorixj/jni/attached_thread.h"

#include <atomic>
#include <string>

namespace pelorixj {
namespace {

// Detaches the thread, at its end, from the VM that attached it here.
class ThreadAttachment {
 public:
  ThreadAttachment() = default;
  ~ThreadAttachment() {
    void* env = nullptr;
    // Not when the VM is gone, or someone else has detached the thread.
    if (vm_ != nullptr && vm_->GetEnv(&env, JNI_VERSION_1_6) == JNI_OK) {
      vm_->DetachCurrentThread();
    }
  }
  ThreadAttachment(const ThreadAttachment&) = delete;
  ThreadAttachment& operator=(const ThreadAttachment&) = delete;

  void Attached(JavaVM* vm) { vm_ = vm; }

 private:
  JavaVM* vm_ = nullptr;
};

// Destroyed when its thread ends, whoever started it and whether or not it
// is joined.
thread_local ThreadAttachment attachment;

std::atomic<unsigned> lastThreadNumber{0};

JNIEnv* AttachHere(JavaVM* vm) {
  std::string name = "pelorix-events-" + std::to_string(++lastThreadNumber);
  JavaVMAttachArgs args{JNI_VERSION_1_6, name.data(), nullptr};
  void* env = nullptr;
  if (vm->AttachCurrentThreadAsDaemon(&env, &args) != JNI_OK) {
    return nullptr;
  }
  attachment.Attached(vm);
  return static_cast<JNIEnv*>(env);
}

}  // namespace

JNIEnv* AttachedEnv(JavaVM* vm) {
  if (vm == nullptr) {
    return nullptr;
  }
  void* env = nullptr;
  const jint found = vm->GetEnv(&env, JNI_VERSION_1_6);
  if (found == JNI_OK) {
    return static_cast<JNIEnv*>(env);
  }
  return found == JNI_EDETACHED ? AttachHere(vm) : nullptr;
}

}  // namespace pelorixj
