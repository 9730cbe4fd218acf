/* The machine-dependent part of jni.h for 64-bit Windows, which the host's
   JDK (built for Linux) lacks: export and calling-convention macros and the
   types whose width differs there (long is 32 bits). */
#ifndef PELORIX_WINDOWS_JNI_MD_H
#define PELORIX_WINDOWS_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
