// The native methods of com.korvex.pelorix.WrapperIDevice: each forwards one
// call to the IDevice that its handle names. The device's control and
// configuration are handed out as handles of their own.
#include <jni.h>

#include <optional>
#include <string>

#include "pelorixj/core/live_objects.h"
#include "pelorixj/core/subscriptions.h"
#include "pelorixj/device/idevice.h"
#include "pelorixj/core/device_json.h"
#include "pelorixj/jni/event_subscription.h"
#include "pelorixj/jni/java_text.h"
#include "pelorixj/jni/native_call_guard.h"

namespace pelorixj {
namespace {

constexpr jlong kStateErrorValue = kStateError;

// The text results: a device text, or a JSON text that the body writes.
template <typename Text>
jstring TextCall(JNIEnv* env, jlong device, Text&& text) {
  return GuardHandleCall<IDevice>(env, device, NewEmptyJavaString,
                                  [&](IDevice& d) { return ToJavaString(env, text(d)); });
}

template <typename Body>
jboolean BooleanCall(JNIEnv* env, jlong device, Body&& body) {
  return GuardHandleCall<IDevice>(env, device, JNI_FALSE,
                                  [&](IDevice& d) -> jboolean { return body(d) ? JNI_TRUE : JNI_FALSE; });
}

// Text that is not whole pairs of hexadecimal digits throws: the method
// gives false and nothing is sent.
ByteDataRecord RecordOf(JNIEnv* env, jstring hex) { return CheckedByteDataRecord(FromJavaString(env, hex)); }

}  // namespace
}  // namespace pelorixj

using namespace pelorixj;

extern "C" {

JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_WrapperIDevice_GetName(JNIEnv* env, jclass, jlong device) {
  return TextCall(env, device, [](IDevice& d) { return d.GetName(); });
}

JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_WrapperIDevice_GetConnectionInfo(JNIEnv* env, jclass,
                                                                                   jlong device) {
  return TextCall(env, device, [](IDevice& d) { return ConnectionInfoJson(d.GetConnectionInfo()); });
}

JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_WrapperIDevice_GetConnectionState(JNIEnv* env, jclass,
                                                                                  jlong device) {
  return GuardHandleCall<IDevice>(env, device, kStateErrorValue, [](IDevice& d) {
    return static_cast<jlong>(static_cast<int32_t>(d.GetConnectionState()));
  });
}

JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_WrapperIDevice_GetDeviceInfo(JNIEnv* env, jclass, jlong device) {
  return TextCall(env, device, [](IDevice& d) { return DeviceInfoJson(d.GetDeviceInfo()); });
}

JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_WrapperIDevice_GetDeviceCapabilities(JNIEnv* env, jclass,
                                                                                       jlong device) {
  return TextCall(env, device, [](IDevice& d) { return DeviceCapabilitiesJson(d.GetDeviceCapabilities()); });
}

JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_WrapperIDevice_GetDeviceControl(JNIEnv* env, jclass, jlong device) {
  return GuardHandleCall<IDevice>(env, device, jlong{0},
                                  [&](IDevice& d) { return Live().ControlHandle(device, d.GetDeviceControl()); });
}

JNIEXPORT jlong JNICALL Java_com_korvex_pelorix_WrapperIDevice_GetDeviceConfiguration(JNIEnv* env, jclass,
                                                                                      jlong device) {
  return GuardHandleCall<IDevice>(env, device, jlong{0}, [&](IDevice& d) {
    return Live().ConfigurationHandle(device, d.GetDeviceConfiguration());
  });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDevice_SubscribeAll(JNIEnv* env, jclass, jlong device,
                                                                               jobject listener) {
  return BooleanCall(env, device, [&](IDevice& d) { return SubscribeListener(env, d, listener); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDevice_UnsubscribeAll(JNIEnv* env, jclass, jlong device) {
  return BooleanCall(env, device, [](IDevice& d) { return Unsubscribe(d); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDevice_StartTransaction(JNIEnv* env, jclass, jlong device,
                                                                                   jstring json) {
  return BooleanCall(env, device, [&](IDevice& d) {
    return d.StartTransaction(TransactionRequestFromJson(FromJavaString(env, json)));
  });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDevice_CancelTransaction(JNIEnv* env, jclass,
                                                                                    jlong device) {
  return BooleanCall(env, device, [](IDevice& d) { return d.CancelTransaction(); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDevice_SendSelection(JNIEnv* env, jclass, jlong device,
                                                                                jstring hex) {
  return BooleanCall(env, device, [&](IDevice& d) { return d.SendSelection(RecordOf(env, hex)); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDevice_SendAuthorization(JNIEnv* env, jclass,
                                                                                    jlong device, jstring hex) {
  return BooleanCall(env, device, [&](IDevice& d) { return d.SendAuthorization(RecordOf(env, hex)); });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDevice_RequestPIN(JNIEnv* env, jclass, jlong device,
                                                                             jstring json) {
  return BooleanCall(env, device, [&](IDevice& d) { return d.RequestPIN(PinRequestFromJson(FromJavaString(env, json))); });
}

// An empty (or null) PIN text asks for the PAN alone.
JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDevice_RequestPAN(JNIEnv* env, jclass, jlong device,
                                                                             jstring panJson, jstring pinJson) {
  return BooleanCall(env, device, [&](IDevice& d) {
    const PanRequest pan = PanRequestFromJson(FromJavaString(env, panJson));
    const std::string pinText = FromJavaString(env, pinJson);
    std::optional<PinRequest> pin;
    if (!pinText.empty()) pin = PinRequestFromJson(pinText);
    return d.RequestPAN(pan, pin ? &*pin : nullptr);
  });
}

JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_WrapperIDevice_RequestSignature(JNIEnv* env, jclass,
                                                                                   jlong device) {
  return BooleanCall(env, device, [](IDevice& d) { return d.RequestSignature(); });
}

}  // extern "C"
