// A JNI global reference owned by an adapter: deleted when the adapter is
// freed, on whatever thread that happens, and also when the call that made
// the adapter ends by an exception.
#pragma once

#include <jni.h>

namespace pelorixj {

class GlobalRef {
 public:
  // A null object gives a null reference. Throws JniFailure when the VM
  // cannot make the reference. Deleted through the VM that JNI_OnLoad kept.
  GlobalRef(JNIEnv* env, jobject object);
  ~GlobalRef();
  GlobalRef(const GlobalRef&) = delete;
  GlobalRef& operator=(const GlobalRef&) = delete;

  jobject Get() const { return ref_; }

 private:
  jobject ref_ = nullptr;
};

}  // namespace pelorixj
