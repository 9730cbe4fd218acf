// The Java VM that loaded the library, through which native threads reach
// Java: kept once, by JNI_OnLoad, before any native method can run.
#pragma once

#include <jni.h>

namespace pelorixj {

// For JNI_OnLoad only.
void KeepJavaVm(JavaVM* vm);

// Null when the library was loaded without a VM.
JavaVM* KeptJavaVm();

}  // namespace pelorixj
