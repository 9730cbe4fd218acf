#include "pelorixj/jni/java_text.h"

#include <cstdint>

#include "pelorixj/jni/jni_failure.h"
#include "pelorixj/core/utf_conversion.h"

namespace pelorixj {
namespace {

static_assert(sizeof(jchar) == sizeof(char16_t), "jchar is a UTF-16 code unit");

// The characters of GetStringUTFChars, released however the copy ends.
class StringUtfChars {
 public:
  StringUtfChars(JNIEnv* env, jstring text) : env_(env), text_(text), chars_(env->GetStringUTFChars(text, nullptr)) {
    if (chars_ == nullptr) {
      ThrowJniFailure(env, "GetStringUTFChars");
    }
  }
  ~StringUtfChars() { env_->ReleaseStringUTFChars(text_, chars_); }
  StringUtfChars(const StringUtfChars&) = delete;
  StringUtfChars& operator=(const StringUtfChars&) = delete;

  // Modified UTF-8 holds no zero byte before its end.
  std::string_view View() const { return chars_; }

 private:
  JNIEnv* env_;
  jstring text_;
  const char* chars_;
};

}  // namespace

std::string FromJavaString(JNIEnv* env, jstring text) {
  if (text == nullptr) {
    return std::string();
  }
  const StringUtfChars chars(env, text);
  return ModifiedUtf8ToUtf8(chars.View());
}

jstring ToJavaString(JNIEnv* env, std::string_view text) {
  const std::u16string utf16 = Utf8ToUtf16(text);
  if (utf16.size() > INT32_MAX) {
    ThrowJniFailure(env, "text too long for a Java string");
  }
  jstring result =
      env->NewString(reinterpret_cast<const jchar*>(utf16.data()), static_cast<jsize>(utf16.size()));
  if (result == nullptr) {
    ThrowJniFailure(env, "NewString");
  }
  return result;
}

jstring NewEmptyJavaString(JNIEnv* env) {
  const jchar none = 0;
  jstring result = env->NewString(&none, 0);
  if (result == nullptr) {
    env->ExceptionClear();
  }
  return result;
}

}  // namespace pelorixj
