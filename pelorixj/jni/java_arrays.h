// Primitive arrays across the Java boundary: byte[] for data, long[] for
// device handles and connection types.
#pragma once

#include <jni.h>

#include <cstdint>
#include <vector>

namespace pelorixj {

// A copy of the array's elements; null reads as empty.
std::vector<uint8_t> FromJavaBytes(JNIEnv* env, jbyteArray array);
std::vector<jlong> FromJavaLongs(JNIEnv* env, jlongArray array);

// A new Java array (a local reference) holding the values; length 0 for
// none, never null. Throws JniFailure when the VM cannot make it.
jbyteArray ToJavaBytes(JNIEnv* env, const std::vector<uint8_t>& bytes);
jlongArray ToJavaLongs(JNIEnv* env, const std::vector<jlong>& values);

// A new array of length 0, for failure values: never throws; null only
// when the VM is out of memory (that exception is cleared).
jbyteArray NewEmptyJavaBytes(JNIEnv* env);
jlongArray NewEmptyJavaLongs(JNIEnv* env);

}  // namespace pelorixj
