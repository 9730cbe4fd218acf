// What the Java VM calls when it loads the library, before any native
// method. The tables and bindings are built here, not in a static
// initialiser: on Windows those run under the loader lock, where loading a
// library can deadlock.
#include <jni.h>

#include "pelorixj/core/load_time_tables.h"
#include "pelorixj/jni/java_vm_pointer.h"

// Keeps the VM for the events and callbacks that native threads bring to
// Java. A program without a VM may call it with nulls to load the library as
// the VM does. Only a failure to build the tables fails the load.
extern "C" JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM* vm, void*) {
  try {
    pelorixj::KeepJavaVm(vm);
    pelorixj::BuildLoadTimeTables();
    return JNI_VERSION_1_6;
  } catch (...) {
    return JNI_ERR;
  }
}
