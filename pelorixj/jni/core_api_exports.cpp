// The native methods of com.korvex.pelorix.CoreAPI.
#include <jni.h>

#include <string>
#include <vector>

#include "pelorixj/core/connection_types.h"
#include "pelorixj/core/core_backend.h"
#include "pelorixj/jni/java_arrays.h"
#include "pelorixj/jni/java_text.h"
#include "pelorixj/jni/native_call_guard.h"

namespace pelorixj {
namespace {

constexpr jint kApiVersion = 116;

jlongArray ToJavaHandles(JNIEnv* env, const std::vector<Handle>& handles) {
  return ToJavaLongs(env, std::vector<jlong>(handles.begin(), handles.end()));
}

}  // namespace
}  // namespace pelorixj

using namespace pelorixj;

extern "C" {

JNIEXPORT jint JNICALL Java_com_korvex_pelorix_CoreAPI_GetAPIVersion(JNIEnv*, jclass) { return kApiVersion; }

JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_CoreAPI_GetConnectionTypeString(JNIEnv* env, jclass,
                                                                                   jint connectionType) {
  return GuardNativeCall(env, NewEmptyJavaString, [&] {
    return ToJavaString(env, ConnectionTypeName(static_cast<uint32_t>(connectionType)));
  });
}

JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_CoreAPI_GetConnectionTypeFromStringJ(JNIEnv* env, jclass,
                                                                                      jstring name) {
  return GuardNativeCall(env, jlong{0},
                         [&] { return static_cast<jlong>(ConnectionTypeFromName(FromJavaString(env, name))); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_CoreAPI_IsEnumable(JNIEnv* env, jclass, jint deviceType,
                                                                      jint connectionType) {
  return GuardNativeCall(env, JNI_FALSE, [&]() -> jboolean {
    return IsEnumerable(static_cast<uint32_t>(deviceType), static_cast<uint32_t>(connectionType));
  });
}

JNIEXPORT jlongArray JNICALL Java_com_korvex_pelorix_CoreAPI_GetConnectionTypes(JNIEnv* env, jclass,
                                                                                jint deviceType) {
  return GuardNativeCall(env, NewEmptyJavaLongs, [&] {
    const std::vector<uint32_t> types = SupportedConnectionTypes(static_cast<uint32_t>(deviceType));
    return ToJavaLongs(env, std::vector<jlong>(types.begin(), types.end()));
  });
}

JNIEXPORT jlongArray JNICALL Java_com_korvex_pelorix_CoreAPI_GetDeviceList(JNIEnv* env, jclass, jint deviceType) {
  return GuardNativeCall(env, NewEmptyJavaLongs, [&] {
    return ToJavaHandles(env, GetDeviceList({static_cast<uint32_t>(deviceType)}));
  });
}

JNIEXPORT jlongArray JNICALL Java_com_korvex_pelorix_CoreAPI_GetDeviceListWithConnectionType(JNIEnv* env, jclass,
                                                                                             jint deviceType,
                                                                                             jint connectionType) {
  return GuardNativeCall(env, NewEmptyJavaLongs, [&] {
    return ToJavaHandles(env, GetDeviceListWithConnectionType(static_cast<uint32_t>(deviceType),
                                                                static_cast<uint32_t>(connectionType)));
  });
}

JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_CoreAPI_GetDevice(JNIEnv* env, jclass, jint deviceType,
                                                                  jint connectionType, jstring address) {
  return GuardNativeCall(env, jlong{0}, [&] {
    return static_cast<jlong>(GetDevice(static_cast<uint32_t>(deviceType), static_cast<uint32_t>(connectionType),
                                        FromJavaString(env, address)));
  });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_CoreAPI_ReleaseDevice(JNIEnv* env, jclass, jlong device) {
  GuardNativeCall(env, [&] { ReleaseDevice(device); });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_CoreAPI_ReleaseDeviceList(JNIEnv* env, jclass, jlongArray devices) {
  GuardNativeCall(env, [&] {
    for (const jlong device : FromJavaLongs(env, devices)) {
      ReleaseDevice(device);
    }
  });
}

}  // extern "C"
