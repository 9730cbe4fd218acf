#include "pelorixj/jni/java_configuration_callback.h"

#include "pelorixj/jni/callback_frame.h"
#include "pelorixj/jni/java_arrays.h"
#include "pelorixj/jni/java_vm_pointer.h"

namespace pelorixj {

JavaConfigurationCallback::JavaConfigurationCallback(JNIEnv* env, jobject callback)
    : callbackRef_(env, callback),
      onProgress_(FindInstanceMethod(env, callback, "OnProgress", "(J)V")),
      onResult_(FindInstanceMethod(env, callback, "OnResult", "(J[B)V")),
      onCalculateMac_(FindInstanceMethod(env, callback, "OnCalculateMAC", "(J[B[J)[B")) {}

void JavaConfigurationCallback::OnProgress(int percent) {
  try {
    CallJavaMethod(KeptJavaVm(), callbackRef_.Get(), onProgress_, [&](JNIEnv* env) {
      env->CallVoidMethod(callbackRef_.Get(), onProgress_, static_cast<jlong>(percent));
    });
  } catch (...) {
    // The operation is not told: progress is only reported.
  }
}

void JavaConfigurationCallback::OnResult(int status, std::vector<uint8_t> data) {
  try {
    CallJavaMethod(KeptJavaVm(), callbackRef_.Get(), onResult_, [&](JNIEnv* env) {
      env->CallVoidMethod(callbackRef_.Get(), onResult_, static_cast<jlong>(status), ToJavaBytes(env, data));
    });
  } catch (...) {
    // The operation is not told: its result is its own return value.
  }
}

MacResult JavaConfigurationCallback::OnCalculateMAC(uint8_t macType, std::vector<uint8_t> data) {
  MacResult result;
  try {
    CallJavaMethod(KeptJavaVm(), callbackRef_.Get(), onCalculateMac_, [&](JNIEnv* env) {
      const jlongArray status = ToJavaLongs(env, std::vector<jlong>{0});
      const auto mac = static_cast<jbyteArray>(env->CallObjectMethod(
          callbackRef_.Get(), onCalculateMac_, static_cast<jlong>(macType), ToJavaBytes(env, data), status));
      if (env->ExceptionCheck()) {
        return;
      }
      jlong statusValue = 0;
      env->GetLongArrayRegion(status, 0, 1, &statusValue);
      result.Status = static_cast<uint32_t>(statusValue);
      result.Mac = FromJavaBytes(env, mac);
    });
  } catch (...) {
    result = MacResult();
  }
  return result;
}

}  // namespace pelorixj
