#include "pelorixj/jni/java_longs.h"

#include <cstdint>

#include "pelorixj/jni/jni_failure.h"

namespace pelorixj {

std::vector<jlong> FromJavaLongs(JNIEnv* env, jlongArray array) {
  if (array == nullptr) {
    return {};
  }
  std::vector<jlong> values(static_cast<size_t>(env->GetArrayLength(array)));
  if (values.empty()) {
    return values;
  }
  env->GetLongArrayRegion(array, 0, static_cast<jsize>(values.size()), values.data());
  if (env->ExceptionCheck()) {
    throw JniFailure("GetLongArrayRegion");
  }
  return values;
}

jlongArray ToJavaLongs(JNIEnv* env, const std::vector<jlong>& values) {
  if (values.size() > INT32_MAX) {
    throw JniFailure("too many values for a Java array");
  }
  const auto length = static_cast<jsize>(values.size());
  jlongArray array = env->NewLongArray(length);
  if (array == nullptr) {
    throw JniFailure("NewLongArray");
  }
  if (length == 0) {
    return array;
  }
  env->SetLongArrayRegion(array, 0, length, values.data());
  if (env->ExceptionCheck()) {
    throw JniFailure("SetLongArrayRegion");
  }
  return array;
}

jlongArray NewEmptyJavaLongs(JNIEnv* env) {
  jlongArray array = env->NewLongArray(0);
  if (array == nullptr) {
    env->ExceptionClear();
  }
  return array;
}

}  // namespace pelorixj
