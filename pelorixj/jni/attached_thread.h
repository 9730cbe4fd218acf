// The current thread's way into Java. A thread that is attached already (a
// Java thread, or a native thread attached by its owner) is used as it is
// and left attached. Any other thread is attached here the first time, as a
// daemon named "pelorix-events-<n>", so that Java sees one thread for each
// of the libraries' threads and the JVM's exit never waits for one that
// lingers; it stays attached until it ends, and is detached then.
#pragma once

#include <jni.h>

namespace pelorixj {

// Null when there is no VM, the VM has been destroyed, or the thread could
// not be attached. Asks the VM on every call, so that a thread attached
// here gets nothing once the VM is gone.
JNIEnv* AttachedEnv(JavaVM* vm);

}  // namespace pelorixj
