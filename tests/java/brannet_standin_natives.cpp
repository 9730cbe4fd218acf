// Test-only JNI functions of com.korvex.pelorix.BrannetStandin: drive the
// stand-in older-family library that Pelorixj loaded, through its control
// functions. Looked up on first use, so that a JVM without the library can
// load these too.
#include <jni.h>

#include <string>
#include <vector>

#include "pelorixj/jni/java_arrays.h"
#include "pelorixj/jni/java_text.h"
#include "pelorixj/jni/native_call_guard.h"
#include "standin_control.h"

namespace pelorixj {
namespace {

StandinControl& Standin() {
  static StandinControl* const control = new StandinControl();
  return *control;
}

std::string Utf8(JNIEnv* env, jbyteArray text) {
  const std::vector<uint8_t> bytes = FromJavaBytes(env, text);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace
}  // namespace pelorixj

using namespace pelorixj;

extern "C" {

JNIEXPORT void JNICALL Java_com_korvex_pelorix_BrannetStandin_reset(JNIEnv*, jclass) {
  Standin().BrannetStandin_Reset();
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_BrannetStandin_setDeviceList(JNIEnv* env, jclass, jstring list) {
  GuardNativeCall(env, [&] { Standin().BrannetStandin_SetDeviceList(FromJavaString(env, list).c_str()); });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_BrannetStandin_addDevice(JNIEnv* env, jclass, jstring path) {
  GuardNativeCall(env, [&] { Standin().BrannetStandin_AddDevice(FromJavaString(env, path).c_str()); });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_BrannetStandin_setProductId(JNIEnv* env, jclass, jstring path,
                                                                           jint productId) {
  GuardNativeCall(env, [&] { Standin().BrannetStandin_SetProductId(FromJavaString(env, path).c_str(), productId); });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_BrannetStandin_setReply(JNIEnv* env, jclass, jstring path,
                                                                       jstring command, jstring reply) {
  GuardNativeCall(env, [&] {
    Standin().BrannetStandin_SetReply(FromJavaString(env, path).c_str(), FromJavaString(env, command).c_str(),
                                      FromJavaString(env, reply).c_str());
  });
}

JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_BrannetStandin_openHandle(JNIEnv* env, jclass, jstring path) {
  return GuardNativeCall(env, jlong{0},
                         [&] { return static_cast<jlong>(Standin().BrannetStandin_OpenHandle(FromJavaString(env, path).c_str())); });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_BrannetStandin_fireConnectionState(JNIEnv*, jclass, jlong handle,
                                                                                  jboolean connected) {
  Standin().BrannetStandin_FireConnectionState(static_cast<intptr_t>(handle), connected);
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_BrannetStandin_fireDataReceived(JNIEnv* env, jclass, jlong handle,
                                                                               jbyteArray text) {
  GuardNativeCall(env, [&] { Standin().BrannetStandin_FireDataReceived(static_cast<intptr_t>(handle), Utf8(env, text).c_str()); });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_BrannetStandin_fireDeviceResponse(JNIEnv* env, jclass, jlong handle,
                                                                                 jbyteArray text) {
  GuardNativeCall(env, [&] {
    Standin().BrannetStandin_FireDeviceResponse(static_cast<intptr_t>(handle), Utf8(env, text).c_str());
  });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_BrannetStandin_fireNotification(JNIEnv* env, jclass, jlong handle,
                                                                               jint code, jbyteArray text) {
  GuardNativeCall(env, [&] {
    Standin().BrannetStandin_FireNotification(static_cast<intptr_t>(handle), static_cast<uint32_t>(code),
                                              Utf8(env, text).c_str());
  });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_BrannetStandin_waitDelivered(JNIEnv*, jclass, jlong handle) {
  Standin().BrannetStandin_WaitDelivered(static_cast<intptr_t>(handle));
}

// The calls of the library's functions since the last time asked, one a line.
JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_BrannetStandin_takeCallLog(JNIEnv* env, jclass) {
  return GuardNativeCall(env, nullptr, [&] {
    const std::string log = Standin().CallLog();
    Standin().BrannetStandin_ClearCallLog();
    return ToJavaString(env, log);
  });
}

}  // extern "C"
