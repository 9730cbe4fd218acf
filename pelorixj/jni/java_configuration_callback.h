// Hands the progress, result and MAC requests of one configuration call to
// a Java callback object's OnProgress(long), OnResult(long, byte[]) and
// OnCalculateMAC(long, byte[], long[]). Lives for that one call.
#pragma once

#include <jni.h>

#include <cstdint>
#include <vector>

#include "pelorixj/device/iconfiguration_callback.h"
#include "pelorixj/jni/global_ref.h"

namespace pelorixj {

class JavaConfigurationCallback : public IConfigurationCallback {
 public:
  // Holds a global reference to the callback object (null: every call does
  // nothing) and its three methods; calls reach it through the VM that
  // JNI_OnLoad kept. Throws JniFailure when the VM cannot give the
  // reference.
  JavaConfigurationCallback(JNIEnv* env, jobject callback);

  // A missing method, or one that throws, makes a call do nothing; what it
  // throws is passed on (callback_exceptions.h).
  void OnProgress(int percent) override;
  void OnResult(int status, std::vector<uint8_t> data) override;
  // Status is the low 32 bits that the method left in status[0]. Status 0
  // and no MAC when the method is missing or throws.
  MacResult OnCalculateMAC(uint8_t macType, std::vector<uint8_t> data) override;

 private:
  GlobalRef callbackRef_;
  // Each null when the object has no such method.
  jmethodID onProgress_;
  jmethodID onResult_;
  jmethodID onCalculateMac_;
};

}  // namespace pelorixj
