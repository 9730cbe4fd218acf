#include "pelorixj/jni/callback_exceptions.h"

namespace pelorixj {
namespace {

// The innermost native method of this thread; null outside them.
thread_local NativeMethodFrame* currentFrame = nullptr;

// The local references that CallUncaughtExceptionHandler makes.
constexpr jint kHandOffReferences = 4;

// Thread.currentThread().getUncaughtExceptionHandler().uncaughtException(thread, thrown).
// Stops at the first step that fails, its exception left pending.
void CallUncaughtExceptionHandler(JNIEnv* env, jthrowable thrown) {
  const jclass threadClass = env->FindClass("java/lang/Thread");
  if (threadClass == nullptr) {
    return;
  }
  const jmethodID currentThread = env->GetStaticMethodID(threadClass, "currentThread", "()Ljava/lang/Thread;");
  if (currentThread == nullptr) {
    return;
  }
  const jobject thread = env->CallStaticObjectMethod(threadClass, currentThread);
  if (env->ExceptionCheck()) {
    return;
  }
  const jmethodID getHandler =
      env->GetMethodID(threadClass, "getUncaughtExceptionHandler", "()Ljava/lang/Thread$UncaughtExceptionHandler;");
  if (getHandler == nullptr) {
    return;
  }
  // Null only for a thread that has ended: there is nobody to tell.
  const jobject handler = env->CallObjectMethod(thread, getHandler);
  if (env->ExceptionCheck() || handler == nullptr) {
    return;
  }
  const jmethodID uncaughtException = env->GetMethodID(env->GetObjectClass(handler), "uncaughtException",
                                                       "(Ljava/lang/Thread;Ljava/lang/Throwable;)V");
  if (uncaughtException == nullptr) {
    return;
  }
  env->CallVoidMethod(handler, uncaughtException, thread, thrown);
}

// In a local frame of its own, so that it needs no room in the callback's.
void HandToUncaughtExceptionHandler(JNIEnv* env, jthrowable thrown) {
  if (env->PushLocalFrame(kHandOffReferences) != 0) {
    return;
  }
  CallUncaughtExceptionHandler(env, thrown);
  env->PopLocalFrame(nullptr);
}

}  // namespace

NativeMethodFrame::NativeMethodFrame(JNIEnv* env) : env_(env), outer_(currentFrame) { currentFrame = this; }

NativeMethodFrame::~NativeMethodFrame() {
  currentFrame = outer_;
  if (kept_ != nullptr) {
    env_->Throw(kept_);
    env_->DeleteGlobalRef(kept_);
  }
}

void NativeMethodFrame::Keep(jthrowable thrown) {
  if (kept_ == nullptr) {
    kept_ = static_cast<jthrowable>(env_->NewGlobalRef(thrown));
  }
}

void PassOnCallbackException(JNIEnv* env) {
  const jthrowable thrown = env->ExceptionOccurred();
  if (thrown == nullptr) {
    return;
  }
  env->ExceptionClear();
  if (currentFrame != nullptr) {
    currentFrame->Keep(thrown);
  } else {
    HandToUncaughtExceptionHandler(env, thrown);
  }
  // What the handler throws, or what a failed step of either way leaves.
  env->ExceptionClear();
  env->DeleteLocalRef(thrown);
}

}  // namespace pelorixj
