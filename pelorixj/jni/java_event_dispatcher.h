// Hands a device's events to a Java listener's OnEvent(long, String), on
// whatever thread raises them, several at once included.
#pragma once

#include <jni.h>

#include "pelorixj/device/ievent_subscriber.h"
#include "pelorixj/jni/global_ref.h"

namespace pelorixj {

class JavaEventDispatcher : public IEventSubscriber {
 public:
  // Holds a global reference to the listener (null: events call nothing)
  // and its OnEvent; events reach it through the VM that JNI_OnLoad kept.
  // Throws JniFailure when the VM cannot give the reference.
  JavaEventDispatcher(JNIEnv* env, jobject listener);

  // Calls the listener with the event number and the payload's text. A
  // listener without the method, or one that throws, loses only this event;
  // what it throws is passed on (callback_exceptions.h).
  void OnEvent(int eventType, ByteDataRecord payload) override;

 private:
  GlobalRef listenerRef_;
  // Null when the listener has none.
  jmethodID onEvent_;
};

}  // namespace pelorixj
