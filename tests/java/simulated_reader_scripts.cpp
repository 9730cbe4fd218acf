// Test-only JNI functions of com.korvex.pelorix.SimulatedReader that script
// its replies and take uploads, for the configuration tests.
#include <jni.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "pelorixj/jni/java_text.h"
#include "pelorixj/jni/native_call_guard.h"
#include "sim_uploads.h"
#include "simulated_reader.h"
#include "test_object_handles.h"

namespace pelorixj {
namespace {

using reader_sim::Reply;

reader_sim::SimulatedReader& Reader(jlong reader) { return *FromHandle<reader_sim::SimulatedReader>(reader); }

// "89=0A0B 85=01": tag and value pairs, as waitForCommand writes them.
reader_sim::InnerParameters ParametersOf(const std::string& text) {
  reader_sim::InnerParameters parameters;
  std::istringstream items(text);
  std::string item;
  while (items >> item) {
    const size_t equals = item.find('=');
    parameters[reader_sim::FromHex(item.substr(0, equals)).at(0)] = reader_sim::FromHex(item.substr(equals + 1));
  }
  return parameters;
}

}  // namespace
}  // namespace pelorixj

using namespace pelorixj;

extern "C" {

JNIEXPORT void JNICALL Java_com_korvex_pelorix_SimulatedReader_setReply(JNIEnv* env, jclass, jlong reader, jint code,
                                                                       jint operationStatus, jint commandStatus,
                                                                       jstring parameters) {
  GuardNativeCall(env, [&] {
    Reader(reader).SetReply(static_cast<uint16_t>(code),
                            Reply::WithStatus(static_cast<uint8_t>(operationStatus),
                                              static_cast<uint32_t>(commandStatus),
                                              ParametersOf(FromJavaString(env, parameters))));
  });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_SimulatedReader_setNoReply(JNIEnv* env, jclass, jlong reader,
                                                                         jint code) {
  GuardNativeCall(env, [&] { Reader(reader).SetNoReply(static_cast<uint16_t>(code)); });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_SimulatedReader_setReplyThenNotification(JNIEnv* env, jclass,
                                                                                       jlong reader, jint code,
                                                                                       jint id,
                                                                                       jint notificationCode) {
  GuardNativeCall(env, [&] {
    Reader(reader).SetReply(static_cast<uint16_t>(code),
                            Reply::Ok().Then(reader_sim::BuildNotification(
                                static_cast<uint16_t>(id), static_cast<uint32_t>(notificationCode), {})));
  });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_SimulatedReader_setReplyThenFile(JNIEnv* env, jclass, jlong reader,
                                                                               jint code, jint fileId,
                                                                               jstring payloadHex) {
  GuardNativeCall(env, [&] {
    const reader_sim::Bytes file = reader_sim::BuildFileMessage(
        static_cast<uint16_t>(code), static_cast<uint32_t>(fileId), reader_sim::FromHex(FromJavaString(env, payloadHex)));
    Reader(reader).SetReply(static_cast<uint16_t>(code), Reply::Ok().Then(file));
  });
}

// Commands of code go unanswered until one of laterCode comes; the reader then
// answers the last of code, and never laterCode.
JNIEXPORT void JNICALL Java_com_korvex_pelorix_SimulatedReader_answerLate(JNIEnv* env, jclass, jlong reader, jint code,
                                                                         jint laterCode) {
  GuardNativeCall(env, [&] {
    auto sequence = std::make_shared<uint8_t>(0);
    Reader(reader).SetResponder(static_cast<uint16_t>(code), [sequence](const reader_sim::ReceivedMessage& message) {
      *sequence = message.sequence;
      return std::optional<Reply>();
    });
    Reader(reader).SetResponder(static_cast<uint16_t>(laterCode), [sequence, code](const reader_sim::ReceivedMessage&) {
      const reader_sim::Bytes late = reader_sim::BuildResponse(static_cast<uint16_t>(code), *sequence, {}, {});
      return std::optional<Reply>(Reply::Ok().Before(late).WithoutResponse());
    });
  });
}

// The whole first command of that code received, as hexadecimal text; null
// when none came within the time.
JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_SimulatedReader_waitForCommandHex(JNIEnv* env, jclass, jlong reader,
                                                                                   jint code, jint timeoutMs) {
  return GuardNativeCall(env, nullptr, [&]() -> jstring {
    const auto command =
        Reader(reader).WaitForCommand(static_cast<uint16_t>(code), std::chrono::milliseconds(timeoutMs));
    return command ? ToJavaString(env, reader_sim::ToHex(command->raw)) : nullptr;
  });
}

// The reader takes uploads from now on, every check passing (digests
// unchecked), until freeUploads.
JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_SimulatedReader_acceptUploads(JNIEnv* env, jclass, jlong reader) {
  return GuardNativeCall(env, jlong{0}, [&] { return ToHandle(new reader_sim::UploadDesk(Reader(reader), {})); });
}

// One line per upload: "id=.. name=.. content=.. token=.. fault=..".
JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_SimulatedReader_uploads(JNIEnv* env, jclass, jlong desk) {
  return GuardNativeCall(env, nullptr, [&] {
    std::string text;
    for (const reader_sim::Upload& u : FromHandle<reader_sim::UploadDesk>(desk)->Uploads()) {
      const reader_sim::Announcement& a = u.announced;
      text += "id=" + reader_sim::ToHex(a.fileId) + " name=" + reader_sim::ToHex(a.name) +
              " content=" + reader_sim::ToHex(u.content) + " token=" + reader_sim::ToHex(a.token) +
              " fault=" + u.fault + "\n";
    }
    return ToJavaString(env, text);
  });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_SimulatedReader_freeUploads(JNIEnv*, jclass, jlong desk) {
  delete FromHandle<reader_sim::UploadDesk>(desk);
}

}  // extern "C"
