#include "pelorixj/jni/java_event_dispatcher.h"

#include "pelorixj/jni/callback_frame.h"
#include "pelorixj/jni/java_text.h"
#include "pelorixj/jni/java_vm_pointer.h"

namespace pelorixj {

JavaEventDispatcher::JavaEventDispatcher(JNIEnv* env, jobject listener) : listenerRef_(env, listener) {
  EventJavaVm.SetOnce(env);
}

void JavaEventDispatcher::OnEvent(int eventType, ByteDataRecord payload) {
  try {
    CallJavaMethod(EventJavaVm.Get(), listenerRef_.Get(), "OnEvent", "(JLjava/lang/String;)V",
                   [&](JNIEnv* env, jmethodID method) {
                     env->CallVoidMethod(listenerRef_.Get(), method, static_cast<jlong>(eventType),
                                         ToJavaString(env, payload.Text));
                   });
  } catch (...) {
    // The device that raised the event is not told: the event is dropped.
  }
}

}  // namespace pelorixj
