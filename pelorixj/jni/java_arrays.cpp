#include "pelorixj/jni/java_arrays.h"

#include "pelorixj/jni/jni_failure.h"

namespace pelorixj {
namespace {

// The JNI functions of one primitive array type.
template <typename Array, typename Element>
struct ArrayFunctions {
  Array (JNIEnv::*make)(jsize);
  void (JNIEnv::*get)(Array, jsize, jsize, Element*);
  void (JNIEnv::*set)(Array, jsize, jsize, const Element*);
};

constexpr ArrayFunctions<jbyteArray, jbyte> kBytes{&JNIEnv::NewByteArray, &JNIEnv::GetByteArrayRegion,
                                                   &JNIEnv::SetByteArrayRegion};
constexpr ArrayFunctions<jlongArray, jlong> kLongs{&JNIEnv::NewLongArray, &JNIEnv::GetLongArrayRegion,
                                                   &JNIEnv::SetLongArrayRegion};

// Value is the element type or one of its size (uint8_t for jbyte).
template <typename Value, typename Array, typename Element>
std::vector<Value> FromJava(JNIEnv* env, Array array, const ArrayFunctions<Array, Element>& functions) {
  static_assert(sizeof(Value) == sizeof(Element), "the values are the elements' bits");
  if (array == nullptr) {
    return {};
  }
  std::vector<Value> values(static_cast<size_t>(env->GetArrayLength(array)));
  if (values.empty()) {
    return values;
  }
  (env->*functions.get)(array, 0, static_cast<jsize>(values.size()), reinterpret_cast<Element*>(values.data()));
  if (env->ExceptionCheck()) {
    ThrowJniFailure(env, "copying a Java array");
  }
  return values;
}

template <typename Value, typename Array, typename Element>
Array ToJava(JNIEnv* env, const std::vector<Value>& values, const ArrayFunctions<Array, Element>& functions) {
  static_assert(sizeof(Value) == sizeof(Element), "the values are the elements' bits");
  if (values.size() > INT32_MAX) {
    ThrowJniFailure(env, "too many values for a Java array");
  }
  const auto length = static_cast<jsize>(values.size());
  Array array = (env->*functions.make)(length);
  if (array == nullptr) {
    ThrowJniFailure(env, "making a Java array");
  }
  if (length == 0) {
    return array;
  }
  (env->*functions.set)(array, 0, length, reinterpret_cast<const Element*>(values.data()));
  if (env->ExceptionCheck()) {
    ThrowJniFailure(env, "filling a Java array");
  }
  return array;
}

template <typename Array, typename Element>
Array NewEmpty(JNIEnv* env, const ArrayFunctions<Array, Element>& functions) {
  Array array = (env->*functions.make)(0);
  if (array == nullptr) {
    env->ExceptionClear();
  }
  return array;
}

}  // namespace

std::vector<uint8_t> FromJavaBytes(JNIEnv* env, jbyteArray array) { return FromJava<uint8_t>(env, array, kBytes); }
std::vector<jlong> FromJavaLongs(JNIEnv* env, jlongArray array) { return FromJava<jlong>(env, array, kLongs); }

jbyteArray ToJavaBytes(JNIEnv* env, const std::vector<uint8_t>& bytes) { return ToJava(env, bytes, kBytes); }
jlongArray ToJavaLongs(JNIEnv* env, const std::vector<jlong>& values) { return ToJava(env, values, kLongs); }

jbyteArray NewEmptyJavaBytes(JNIEnv* env) { return NewEmpty(env, kBytes); }
jlongArray NewEmptyJavaLongs(JNIEnv* env) { return NewEmpty(env, kLongs); }

}  // namespace pelorixj
