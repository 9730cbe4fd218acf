// Byte arrays across the Java boundary.
#pragma once

#include <jni.h>

#include <cstdint>
#include <vector>

namespace pelorixj {

// A copy of the array's elements; null reads as empty.
std::vector<uint8_t> FromJavaBytes(JNIEnv* env, jbyteArray array);

// A new Java byte[] (a local reference) holding the bytes; length 0 for
// none, never null. Throws JniFailure when the VM cannot make it.
jbyteArray ToJavaBytes(JNIEnv* env, const std::vector<uint8_t>& bytes);

// A new Java byte[] of length 0, for failure values: never throws; null
// only when the VM is out of memory (that exception is cleared).
jbyteArray NewEmptyJavaBytes(JNIEnv* env);

}  // namespace pelorixj
