#include "pelorixj/jni/java_bytes.h"

#include <cstdint>

#include "pelorixj/jni/jni_failure.h"

namespace pelorixj {

std::vector<uint8_t> FromJavaBytes(JNIEnv* env, jbyteArray array) {
  if (array == nullptr) {
    return {};
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(env->GetArrayLength(array)));
  if (bytes.empty()) {
    return bytes;
  }
  env->GetByteArrayRegion(array, 0, static_cast<jsize>(bytes.size()), reinterpret_cast<jbyte*>(bytes.data()));
  if (env->ExceptionCheck()) {
    throw JniFailure("GetByteArrayRegion");
  }
  return bytes;
}

jbyteArray ToJavaBytes(JNIEnv* env, const std::vector<uint8_t>& bytes) {
  if (bytes.size() > INT32_MAX) {
    throw JniFailure("too many bytes for a Java array");
  }
  const auto length = static_cast<jsize>(bytes.size());
  jbyteArray array = env->NewByteArray(length);
  if (array == nullptr) {
    throw JniFailure("NewByteArray");
  }
  if (length == 0) {
    return array;
  }
  env->SetByteArrayRegion(array, 0, length, reinterpret_cast<const jbyte*>(bytes.data()));
  if (env->ExceptionCheck()) {
    throw JniFailure("SetByteArrayRegion");
  }
  return array;
}

jbyteArray NewEmptyJavaBytes(JNIEnv* env) {
  jbyteArray result = env->NewByteArray(0);
  if (result == nullptr) {
    env->ExceptionClear();
  }
  return result;
}

}  // namespace pelorixj
