// The native methods of com.korvex.pelorix.WrapperIDeviceControl: each
// forwards one call to the IDeviceControl that its handle names.
// Hexadecimal text arguments become ByteDataRecords; byte arguments pass
// their low 8 bits.
#include <jni.h>

#include <cstdint>

#include "pelorixj/device/idevice_control.h"
#include "pelorixj/core/control_json.h"
#include "pelorixj/jni/java_text.h"
#include "pelorixj/jni/native_call_guard.h"

namespace pelorixj {
namespace {

template <typename Body>
jboolean BooleanCall(JNIEnv* env, jlong control, Body&& body) {
  return GuardHandleCall<IDeviceControl>(env, control, JNI_FALSE,
                                         [&](IDeviceControl& c) -> jboolean { return body(c) ? JNI_TRUE : JNI_FALSE; });
}

// Text that is not whole pairs of hexadecimal digits throws: the method
// gives its failure value and nothing is sent.
ByteDataRecord RecordOf(JNIEnv* env, jstring hex) { return CheckedByteDataRecord(FromJavaString(env, hex)); }

uint8_t Low8(jbyte value) { return static_cast<uint8_t>(value); }

}  // namespace
}  // namespace pelorixj

using namespace pelorixj;

extern "C" {

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_Open(JNIEnv* env, jclass, jlong control) {
  return BooleanCall(env, control, [](IDeviceControl& c) { return c.Open(); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_Close(JNIEnv* env, jclass, jlong control) {
  return BooleanCall(env, control, [](IDeviceControl& c) { return c.Close(); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_Send(JNIEnv* env, jclass, jlong control,
                                                                              jstring hex) {
  return BooleanCall(env, control, [&](IDeviceControl& c) { return c.Send(RecordOf(env, hex)); });
}

// null, not an empty string, on failure.
JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_SendSync(JNIEnv* env, jclass, jlong control,
                                                                                 jstring hex) {
  return GuardHandleCall<IDeviceControl>(env, control, static_cast<jstring>(nullptr), [&](IDeviceControl& c) {
    return ToJavaString(env, DeviceResponseJson(c.SendSync(RecordOf(env, hex))));
  });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_SendExtendedCommand(JNIEnv* env, jclass,
                                                                                             jlong control,
                                                                                             jstring hex) {
  return BooleanCall(env, control, [&](IDeviceControl& c) { return c.SendExtendedCommand(RecordOf(env, hex)); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_EndSession(JNIEnv* env, jclass,
                                                                                    jlong control) {
  return BooleanCall(env, control, [](IDeviceControl& c) { return c.EndSession(); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_SetDateTime(JNIEnv* env, jclass,
                                                                                     jlong control, jstring hex) {
  return BooleanCall(env, control, [&](IDeviceControl& c) { return c.SetDateTime(RecordOf(env, hex)); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_PlaySound(JNIEnv* env, jclass, jlong control,
                                                                                   jstring hex) {
  return BooleanCall(env, control, [&](IDeviceControl& c) { return c.PlaySound(RecordOf(env, hex)); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_GetInput(JNIEnv* env, jclass, jlong control,
                                                                                  jstring hex) {
  return BooleanCall(env, control, [&](IDeviceControl& c) { return c.GetInput(RecordOf(env, hex)); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_DisplayMessage(JNIEnv* env, jclass,
                                                                                        jlong control, jbyte first,
                                                                                        jbyte second) {
  return BooleanCall(env, control, [&](IDeviceControl& c) { return c.DisplayMessage(Low8(first), Low8(second)); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_ShowImageObject(JNIEnv* env, jclass,
                                                                                         jlong control, jstring json,
                                                                                         jbyte option) {
  return BooleanCall(env, control, [&](IDeviceControl& c) {
    return c.ShowImageObject(ImageObjectFromJson(FromJavaString(env, json)), Low8(option));
  });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_ShowImage(JNIEnv* env, jclass, jlong control,
                                                                                   jbyte imageId) {
  return BooleanCall(env, control, [&](IDeviceControl& c) { return c.ShowImage(Low8(imageId)); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_ShowBarCode(JNIEnv* env, jclass,
                                                                                     jlong control, jstring json,
                                                                                     jbyte option) {
  return BooleanCall(env, control, [&](IDeviceControl& c) {
    return c.ShowBarCode(BarCodeRequestFromJson(FromJavaString(env, json)), Low8(option), nullptr);
  });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_SetLatch(JNIEnv* env, jclass, jlong control,
                                                                                  jboolean value) {
  return BooleanCall(env, control, [&](IDeviceControl& c) { return c.SetLatch(value != JNI_FALSE); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDeviceControl_DeviceReset(JNIEnv* env, jclass,
                                                                                     jlong control) {
  return BooleanCall(env, control, [](IDeviceControl& c) { return c.DeviceReset(); });
}

}  // extern "C"
