// Texts across the Java boundary: the libraries' texts are UTF-8 byte
// strings, Java's are UTF-16.
#pragma once

#include <jni.h>

#include <string>
#include <string_view>

namespace pelorixj {

// The text as standard UTF-8 (ModifiedUtf8ToUtf8); null reads as the empty
// text. Throws JniFailure when the VM cannot hand the characters out.
std::string FromJavaString(JNIEnv* env, jstring text);

// A new Java string (a local reference) of the text, each ill-formed part of
// it replaced by U+FFFD. Throws JniFailure when the VM cannot make it.
jstring ToJavaString(JNIEnv* env, std::string_view text);

// A new empty Java string, for failure values: never throws; null only
// when the VM is out of memory (that exception is cleared).
jstring NewEmptyJavaString(JNIEnv* env);

}  // namespace pelorixj
