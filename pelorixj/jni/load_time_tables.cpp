// Builds the process-wide tables and binds the device libraries when the Java
// VM loads the library, before any native method can run. Not from a static
// initialiser: on Windows those run under the loader lock, where loading a
// library can deadlock. Each table is also built on its first use, by a
// function-local static (thread-safe), so programs that link the library's
// parts need no JNI_OnLoad; the VM's load reaches them in this order. None is
// ever destroyed: device threads may still use them while the library is
// unloaded.
#include <jni.h>

#include "pelorixj/brannet/brannet_device_registry.h"
#include "pelorixj/brannet/brannet_library.h"
#include "pelorixj/brannet/reader_model_table.h"
#include "pelorixj/device/event_names.h"
#include "pelorixj/device/orvane_device_registry.h"
#include "pelorixj/device/qrx_library.h"

// Uses neither argument, so a program without a VM may call it with nulls to
// load the library as the VM does. A missing device library or function is
// not reported; only a failure to build the tables fails the load.
extern "C" JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM*, void*) {
  try {
    pelorixj::EventNames();
    // The hexadecimal tables are compile-time constants.
    pelorixj::OrvaneDeviceRegistry();
    pelorixj::BrannetDeviceRegistry();
    pelorixj::ReaderModelTable();
    pelorixj::Qrx();
    pelorixj::Brannet();
    return JNI_VERSION_1_6;
  } catch (...) {
    return JNI_ERR;
  }
}
