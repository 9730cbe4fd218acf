// Test-only JNI functions of com.korvex.pelorix.SimulatedReader: a
// simulated reader of the newer platform on loopback TCP inside the test's
// JVM, scripted from Java.
#include <jni.h>

#include <chrono>
#include <optional>
#include <string>

#include "demo_scenario.h"
#include "pelorixj/jni/java_text.h"
#include "pelorixj/jni/native_call_guard.h"
#include "simulated_reader.h"
#include "test_object_handles.h"

namespace pelorixj {
namespace {

reader_sim::SimulatedReader& Reader(jlong reader) { return *FromHandle<reader_sim::SimulatedReader>(reader); }

}  // namespace
}  // namespace pelorixj

using namespace pelorixj;

extern "C" {

// A started reader playing the demo transaction; 0 when it cannot listen.
JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_SimulatedReader_start(JNIEnv* env, jclass) {
  return GuardNativeCall(env, jlong{0}, [] {
    auto* reader = new reader_sim::SimulatedReader();
    reader_sim::InstallDemoScenario(*reader, reader_sim::Milliseconds(10));
    if (reader->Start()) return ToHandle(reader);
    delete reader;
    return jlong{0};
  });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_SimulatedReader_stop(JNIEnv*, jclass, jlong reader) {
  delete FromHandle<reader_sim::SimulatedReader>(reader);
}

JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_SimulatedReader_address(JNIEnv* env, jclass, jlong reader) {
  return GuardNativeCall(env, nullptr, [&] { return ToJavaString(env, Reader(reader).Address()); });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_SimulatedReader_pushNotification(JNIEnv* env, jclass, jlong reader,
                                                                               jint id, jint code, jint tag,
                                                                               jstring valueHex) {
  GuardNativeCall(env, [&] {
    reader_sim::InnerParameters parameters;
    if (tag != 0) parameters[static_cast<uint8_t>(tag)] = reader_sim::FromHex(FromJavaString(env, valueHex));
    Reader(reader).PushNotification(static_cast<uint16_t>(id), static_cast<uint32_t>(code), parameters);
  });
}

// The inner parameters of the first command of that code received, as
// "82=3C A3=8101..." in tag order; null when none came within the time.
JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_SimulatedReader_waitForCommand(JNIEnv* env, jclass, jlong reader,
                                                                                jint code, jint timeoutMs) {
  return GuardNativeCall(env, nullptr, [&]() -> jstring {
    const std::optional<reader_sim::ReceivedMessage> command =
        Reader(reader).WaitForCommand(static_cast<uint16_t>(code), std::chrono::milliseconds(timeoutMs));
    if (!command) return nullptr;
    std::string text;
    for (const auto& [tag, value] : command->inner) {
      if (!text.empty()) text += " ";
      text += reader_sim::ToHex({tag}) + "=" + reader_sim::ToHex(value);
    }
    return ToJavaString(env, text);
  });
}

JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_SimulatedReader_acceptedCount(JNIEnv*, jclass, jlong reader) {
  return static_cast<jlong>(Reader(reader).AcceptedCount());
}

JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_SimulatedReader_openCount(JNIEnv*, jclass, jlong reader) {
  return static_cast<jlong>(Reader(reader).OpenCount());
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_SimulatedReader_clearReceived(JNIEnv*, jclass, jlong reader) {
  Reader(reader).ClearReceived();
}

// Every message received since the last clearing, as hexadecimal text, one
// a line.
JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_SimulatedReader_received(JNIEnv* env, jclass, jlong reader) {
  return GuardNativeCall(env, nullptr, [&] {
    std::string lines;
    for (const reader_sim::ReceivedMessage& message : Reader(reader).Received()) {
      lines += reader_sim::ToHex(message.raw) + "\n";
    }
    return ToJavaString(env, lines);
  });
}

JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_SimulatedReader_receivedCount(JNIEnv*, jclass, jlong reader) {
  return static_cast<jlong>(Reader(reader).Received().size());
}

// Stops listening and ends every connection, by an orderly close or a reset.
JNIEXPORT void JNICALL Java_com_korvex_pelorix_SimulatedReader_goAway(JNIEnv* env, jclass, jlong reader,
                                                                     jboolean reset) {
  GuardNativeCall(env, [&] {
    Reader(reader).Stop(reset ? reader_sim::LinkEnd::kReset : reader_sim::LinkEnd::kClose);
  });
}

}  // extern "C"
