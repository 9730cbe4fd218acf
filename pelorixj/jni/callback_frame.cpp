#include "pelorixj/jni/callback_frame.h"

#include "pelorixj/jni/jni_failure.h"

namespace pelorixj {
namespace {

// More than any one callback makes.
constexpr jint kLocalReferences = 8;

}  // namespace

CallbackFrame::CallbackFrame(JNIEnv* env) : env_(env) {
  if (env_->PushLocalFrame(kLocalReferences) != 0) {
    ThrowJniFailure(env_, "PushLocalFrame");
  }
}

CallbackFrame::~CallbackFrame() {
  if (env_->ExceptionCheck()) {
    env_->ExceptionClear();
  }
  env_->PopLocalFrame(nullptr);
}

jmethodID FindInstanceMethod(JNIEnv* env, jobject object, const char* name, const char* signature) {
  if (object == nullptr) {
    return nullptr;
  }
  const jclass type = env->GetObjectClass(object);
  jmethodID method = env->GetMethodID(type, name, signature);
  if (env->ExceptionCheck()) {
    env->ExceptionClear();
    method = nullptr;
  }
  env->DeleteLocalRef(type);
  return method;
}

}  // namespace pelorixj
