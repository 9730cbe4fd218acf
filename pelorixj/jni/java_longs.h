// long arrays across the Java boundary: device handles and connection types.
#pragma once

#include <jni.h>

#include <vector>

namespace pelorixj {

// A copy of the array's elements; null reads as empty.
std::vector<jlong> FromJavaLongs(JNIEnv* env, jlongArray array);

// A new Java long[] (a local reference) holding the values; length 0 for
// none, never null. Throws JniFailure when the VM cannot make it.
jlongArray ToJavaLongs(JNIEnv* env, const std::vector<jlong>& values);

// A new long[0], for failure values: never throws; null only when the VM is
// out of memory (that exception is cleared).
jlongArray NewEmptyJavaLongs(JNIEnv* env);

}  // namespace pelorixj
