// A core source that includes the JNI layer above it by angle brackets: the
// layer check must name this include, and only this one.
#include <vector>

#include <pelorixj/jni/native_call_guard.h>
