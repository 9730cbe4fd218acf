// Test-only JNI functions of com.korvex.pelorix.CallbackFakes: they raise
// chosen events through a JavaEventDispatcher on chosen threads, run a
// JavaConfigurationCallback, and pass values through the JNI helpers, so
// that Java tests can drive the adapters without a device.
#include <jni.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/jni/java_arrays.h"
#include "pelorixj/jni/java_configuration_callback.h"
#include "pelorixj/jni/java_event_dispatcher.h"
#include "pelorixj/jni/java_text.h"
#include "pelorixj/jni/java_vm_pointer.h"
#include "pelorixj/jni/jni_failure.h"
#include "pelorixj/jni/native_call_guard.h"

namespace pelorixj {
namespace {

using Payloads = std::vector<std::string>;

Payloads PayloadsOf(JNIEnv* env, jobjectArray payloads) {
  Payloads texts;
  for (jsize i = 0; i < env->GetArrayLength(payloads); ++i) {
    const auto bytes = static_cast<jbyteArray>(env->GetObjectArrayElement(payloads, i));
    const std::vector<uint8_t> utf8 = FromJavaBytes(env, bytes);
    texts.emplace_back(utf8.begin(), utf8.end());
    env->DeleteLocalRef(bytes);
  }
  return texts;
}

void Raise(IEventSubscriber& subscriber, int eventType, const Payloads& payloads) {
  for (const std::string& payload : payloads) {
    subscriber.OnEvent(eventType, ByteDataRecord(payload));
  }
}

}  // namespace
}  // namespace pelorixj

using namespace pelorixj;

extern "C" {

// The adapters reach Java through the VM that this library keeps when it is
// loaded, as Pelorixj keeps it.
JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM* vm, void*) {
  KeepJavaVm(vm);
  return JNI_VERSION_1_6;
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_CallbackFakes_raiseOnThisThread(JNIEnv* env, jclass, jobject listener,
                                                                                jint eventType, jobjectArray payloads) {
  GuardNativeCall(env, [&] {
    JavaEventDispatcher dispatcher(env, listener);
    Raise(dispatcher, eventType, PayloadsOf(env, payloads));
  });
}

// One new native thread per element of payloadsPerThread, all at once.
JNIEXPORT void JNICALL Java_com_korvex_pelorix_CallbackFakes_raiseOnNewThreads(JNIEnv* env, jclass, jobject listener,
                                                                                jint eventType,
                                                                                jobjectArray payloadsPerThread) {
  GuardNativeCall(env, [&] {
    std::vector<Payloads> lists;
    for (jsize i = 0; i < env->GetArrayLength(payloadsPerThread); ++i) {
      const auto list = static_cast<jobjectArray>(env->GetObjectArrayElement(payloadsPerThread, i));
      lists.push_back(PayloadsOf(env, list));
      env->DeleteLocalRef(list);
    }
    JavaEventDispatcher dispatcher(env, listener);
    std::vector<std::thread> threads;
    for (const Payloads& list : lists) {
      threads.emplace_back([&dispatcher, eventType, &list] { Raise(dispatcher, eventType, list); });
    }
    for (std::thread& thread : threads) {
      thread.join();
    }
  });
}

// One native thread, detached, that raises the events rounds times and ends;
// returns at once.
JNIEXPORT void JNICALL Java_com_korvex_pelorix_CallbackFakes_raiseOnDetachedThread(JNIEnv* env, jclass,
                                                                                   jobject listener, jint eventType,
                                                                                   jobjectArray payloads,
                                                                                   jint rounds) {
  GuardNativeCall(env, [&] {
    auto dispatcher = std::make_shared<JavaEventDispatcher>(env, listener);
    std::thread([dispatcher, eventType, texts = PayloadsOf(env, payloads), rounds] {
      for (jint round = 0; round < rounds; ++round) {
        Raise(*dispatcher, eventType, texts);
      }
    }).detach();
  });
}

// A native thread that attaches itself before the events and detaches after
// them; false when it was found detached after the events.
JNIEXPORT jboolean JNICALL Java_com_korvex_pelorix_CallbackFakes_raiseOnAttachedThread(JNIEnv* env, jclass,
                                                                                       jobject listener, jint eventType,
                                                                                       jobjectArray payloads) {
  return GuardNativeCall(env, JNI_FALSE, [&] {
    const Payloads texts = PayloadsOf(env, payloads);
    JavaEventDispatcher dispatcher(env, listener);
    JavaVM* vm = nullptr;
    env->GetJavaVM(&vm);
    jboolean stayedAttached = JNI_FALSE;
    std::thread thread([&] {
      void* threadEnv = nullptr;
      if (vm->AttachCurrentThread(&threadEnv, nullptr) != JNI_OK) {
        return;
      }
      Raise(dispatcher, eventType, texts);
      stayedAttached = vm->GetEnv(&threadEnv, JNI_VERSION_1_6) == JNI_OK ? JNI_TRUE : JNI_FALSE;
      vm->DetachCurrentThread();
    });
    thread.join();
    return stayedAttached;
  });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_CallbackFakes_reportProgress(JNIEnv* env, jclass, jobject callback,
                                                                             jintArray values) {
  GuardNativeCall(env, [&] {
    std::vector<jint> progress(static_cast<size_t>(env->GetArrayLength(values)) + 1);
    env->GetIntArrayRegion(values, 0, static_cast<jsize>(progress.size() - 1), progress.data());
    progress.pop_back();
    JavaConfigurationCallback adapter(env, callback);
    for (const jint value : progress) {
      adapter.OnProgress(value);
    }
  });
}

JNIEXPORT void JNICALL Java_com_korvex_pelorix_CallbackFakes_reportResult(JNIEnv* env, jclass, jobject callback,
                                                                           jint status, jbyteArray data, jint times) {
  GuardNativeCall(env, [&] {
    const std::vector<uint8_t> bytes = FromJavaBytes(env, data);
    JavaConfigurationCallback adapter(env, callback);
    for (jint i = 0; i < times; ++i) {
      adapter.OnResult(status, bytes);
    }
  });
}

// The last result as "status:MAC in hexadecimal".
JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_CallbackFakes_calculateMac(JNIEnv* env, jclass, jobject callback,
                                                                              jint macType, jbyteArray data,
                                                                              jint times) {
  return GuardNativeCall(env, nullptr, [&] {
    const std::vector<uint8_t> bytes = FromJavaBytes(env, data);
    JavaConfigurationCallback adapter(env, callback);
    MacResult result;
    for (jint i = 0; i < times; ++i) {
      result = adapter.OnCalculateMAC(static_cast<uint8_t>(macType), bytes);
    }
    return ToJavaString(env, std::to_string(result.Status) + ":" + BytesToHexString(result.Mac));
  });
}

JNIEXPORT jbyteArray JNICALL Java_com_korvex_pelorix_CallbackFakes_utf8Of(JNIEnv* env, jclass, jstring text) {
  return GuardNativeCall(env, nullptr, [&] {
    const std::string utf8 = FromJavaString(env, text);
    return ToJavaBytes(env, std::vector<uint8_t>(utf8.begin(), utf8.end()));
  });
}

JNIEXPORT jbyteArray JNICALL Java_com_korvex_pelorix_CallbackFakes_copyBytes(JNIEnv* env, jclass, jbyteArray data) {
  return GuardNativeCall(env, nullptr, [&] { return ToJavaBytes(env, FromJavaBytes(env, data)); });
}

// "ok"; or fails: 1 by a C++ exception, 2 by a pending Java exception.
JNIEXPORT jstring JNICALL Java_com_korvex_pelorix_CallbackFakes_guarded(JNIEnv* env, jclass, jint failure) {
  return GuardNativeCall(env, NewEmptyJavaString, [&] {
    const jstring ok = ToJavaString(env, "ok");
    if (failure == 1) {
      throw JniFailure("chosen failure");
    }
    if (failure == 2) {
      env->ThrowNew(env->FindClass("java/lang/IllegalStateException"), "chosen failure");
    }
    return ok;
  });
}

}  // extern "C"
