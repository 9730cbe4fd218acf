// Test-only JNI function of com.korvex.pelorix.TestHooks, in the test build
// of Pelorixj.
#include <jni.h>

#include <memory>
#include <stdexcept>

#include "pelorixj/core/live_objects.h"
#include "pelorixj/device/orvane_idevice.h"
#include "pelorixj/jni/native_call_guard.h"

using namespace pelorixj;

extern "C" JNIEXPORT void JNICALL Java_com_korvex_pelorix_TestHooks_roomyWaits(JNIEnv* env, jclass, jlong device) {
  GuardNativeCall(env, [&] {
    const std::shared_ptr<IDevice> live = Live().Device(device);
    auto* newer = dynamic_cast<OrvaneIDevice*>(live.get());
    if (newer == nullptr) throw std::invalid_argument("not a newer-platform device");
    newer->Control().SetResponseWaits({60000, 60000, 60000, 60000});
  });
}
