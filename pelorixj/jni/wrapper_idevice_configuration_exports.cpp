// The native methods of com.korvex.pelorix.WrapperIDeviceConfiguration:
// each runs one operation of the IDeviceConfiguration that its handle names
// on the calling thread. Operations with a callback get a
// JavaConfigurationCallback that lives for the call; its global reference
// goes with it on every path. A null byte[] reads as empty.
#include <jni.h>

#include <cstdint>
#include <utility>

#include "pelorixj/device/idevice_configuration.h"
#include "pelorixj/jni/java_arrays.h"
#include "pelorixj/jni/java_configuration_callback.h"
#include "pelorixj/jni/java_text.h"
#include "pelorixj/jni/native_call_guard.h"

namespace pelorixj {
namespace {

using Bytes = IDeviceConfiguration::Bytes;

constexpr jint kNoResult = -1;

uint8_t Low8(jint value) { return static_cast<uint8_t>(value); }
uint16_t Low16(jint value) { return static_cast<uint16_t>(value); }

template <typename Operation>
jbyteArray BytesCall(JNIEnv* env, jlong configuration, Operation&& operation) {
  return GuardHandleCall<IDeviceConfiguration>(env, configuration, NewEmptyJavaBytes,
                                               [&](IDeviceConfiguration& c) { return ToJavaBytes(env, operation(c)); });
}

// operation(configuration, callback) copies its byte[] arguments and runs.
template <typename Operation>
jint CallbackCall(JNIEnv* env, jlong configuration, jobject callback, Operation&& operation) {
  return GuardHandleCall<IDeviceConfiguration>(env, configuration, kNoResult, [&](IDeviceConfiguration& c) -> jint {
    JavaConfigurationCallback adapter(env, callback);
    return operation(c, &adapter);
  });
}

}  // namespace
}  // namespace pelorixj

using namespace pelorixj;

extern "C" {

JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_GetDeviceInfo(JNIEnv* env, jclass,
                                                                                            jlong configuration,
                                                                                            jint selector) {
  return GuardHandleCall<IDeviceConfiguration>(env, configuration, NewEmptyJavaString,
                                               [&](IDeviceConfiguration& c) {
                                                 return ToJavaString(env, c.GetDeviceInfo(selector));
                                               });
}

JNIEXPORT jbyteArray JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_GetConfigInfo(JNIEnv* env, jclass,
                                                                                               jlong configuration,
                                                                                               jint type,
                                                                                               jbyteArray data) {
  return BytesCall(env, configuration,
                   [&](IDeviceConfiguration& c) { return c.GetConfigInfo(Low8(type), FromJavaBytes(env, data)); });
}

JNIEXPORT jbyteArray JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_GetKeyInfo(JNIEnv* env, jclass,
                                                                                            jlong configuration,
                                                                                            jint keyType,
                                                                                            jbyteArray data) {
  return BytesCall(env, configuration,
                   [&](IDeviceConfiguration& c) { return c.GetKeyInfo(Low8(keyType), FromJavaBytes(env, data)); });
}

JNIEXPORT jbyteArray JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_GetChallengeToken(
    JNIEnv* env, jclass, jlong configuration, jbyteArray request) {
  return BytesCall(env, configuration,
                   [&](IDeviceConfiguration& c) { return c.GetChallengeToken(FromJavaBytes(env, request)); });
}

JNIEXPORT jint JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_SetConfigInfo(JNIEnv* env, jclass,
                                                                                         jlong configuration,
                                                                                         jint type, jbyteArray data,
                                                                                         jobject callback) {
  return CallbackCall(env, configuration, callback, [&](IDeviceConfiguration& c, IConfigurationCallback* cb) {
    return c.SetConfigInfo(Low8(type), FromJavaBytes(env, data), cb);
  });
}

JNIEXPORT jint JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_UpdateKeyInfo(JNIEnv* env, jclass,
                                                                                         jlong configuration,
                                                                                         jint type, jbyteArray data,
                                                                                         jobject callback) {
  return CallbackCall(env, configuration, callback, [&](IDeviceConfiguration& c, IConfigurationCallback* cb) {
    return c.UpdateKeyInfo(Low8(type), FromJavaBytes(env, data), cb);
  });
}

JNIEXPORT jint JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_UpdateFirmware(JNIEnv* env, jclass,
                                                                                          jlong configuration,
                                                                                          jint firmwareType,
                                                                                          jbyteArray image,
                                                                                          jobject callback) {
  return CallbackCall(env, configuration, callback, [&](IDeviceConfiguration& c, IConfigurationCallback* cb) {
    return c.UpdateFirmware(Low16(firmwareType), FromJavaBytes(env, image), cb);
  });
}

JNIEXPORT jint JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_GetFile(JNIEnv* env, jclass,
                                                                                   jlong configuration,
                                                                                   jbyteArray fileId,
                                                                                   jobject callback) {
  return CallbackCall(env, configuration, callback, [&](IDeviceConfiguration& c, IConfigurationCallback* cb) {
    return c.GetFile(FromJavaBytes(env, fileId), cb);
  });
}

JNIEXPORT jint JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_SendFile(JNIEnv* env, jclass,
                                                                                    jlong configuration,
                                                                                    jbyteArray fileId, jbyteArray data,
                                                                                    jobject callback) {
  return CallbackCall(env, configuration, callback, [&](IDeviceConfiguration& c, IConfigurationCallback* cb) {
    Bytes id = FromJavaBytes(env, fileId);
    return c.SendFile(std::move(id), FromJavaBytes(env, data), cb);
  });
}

JNIEXPORT jint JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_SendSecureFile(JNIEnv* env, jclass,
                                                                                          jlong configuration,
                                                                                          jbyteArray fileName,
                                                                                          jbyteArray data,
                                                                                          jobject callback) {
  return CallbackCall(env, configuration, callback, [&](IDeviceConfiguration& c, IConfigurationCallback* cb) {
    Bytes name = FromJavaBytes(env, fileName);
    return c.SendSecureFile(std::move(name), FromJavaBytes(env, data), cb);
  });
}

JNIEXPORT jint JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_SendImage(JNIEnv* env, jclass,
                                                                                     jlong configuration,
                                                                                     jint imageSlot, jbyteArray data,
                                                                                     jobject callback) {
  return CallbackCall(env, configuration, callback, [&](IDeviceConfiguration& c, IConfigurationCallback* cb) {
    return c.SendImage(Low8(imageSlot), FromJavaBytes(env, data), cb);
  });
}

JNIEXPORT jint JNICALL Java_com_korvex_pelorix_WrapperIDeviceConfiguration_SetDisplayImage(JNIEnv* env, jclass,
                                                                                           jlong configuration,
                                                                                           jint imageId) {
  return GuardHandleCall<IDeviceConfiguration>(env, configuration, kNoResult,
                                               [&](IDeviceConfiguration& c) { return c.SetDisplayImage(Low8(imageId)); });
}

}  // extern "C"
