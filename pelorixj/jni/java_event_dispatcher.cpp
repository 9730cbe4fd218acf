#include "pelorixj/jni/java_event_dispatcher.h"

#include "pelorixj/jni/callback_frame.h"
#include "pelorixj/jni/java_text.h"
#include "pelorixj/jni/java_vm_pointer.h"

namespace pelorixj {

JavaEventDispatcher::JavaEventDispatcher(JNIEnv* env, jobject listener)
    : listenerRef_(env, listener),
      onEvent_(FindInstanceMethod(env, listener, "OnEvent", "(JLjava/lang/String;)V")) {}

// A listener may free this dispatcher from inside the call (it unsubscribes
// or releases its device): nothing of the dispatcher is touched after it.
void JavaEventDispatcher::OnEvent(int eventType, ByteDataRecord payload) {
  try {
    CallJavaMethod(KeptJavaVm(), listenerRef_.Get(), onEvent_, [&](JNIEnv* env) {
      env->CallVoidMethod(listenerRef_.Get(), onEvent_, static_cast<jlong>(eventType), ToJavaString(env, payload.Text));
    });
  } catch (...) {
    // The device that raised the event is not told: the event is dropped.
  }
}

}  // namespace pelorixj
