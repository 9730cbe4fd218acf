// A Java listener subscribed to a device: a JavaEventDispatcher made for it,
// which the device shares with the deliveries under way, so that it lives
// until the last event to it has been delivered. The device's user-data word
// is set to the dispatcher's address (and cleared when it is unsubscribed);
// ownership never goes through the word.
#pragma once

#include <jni.h>

#include "pelorixj/device/idevice.h"

namespace pelorixj {

// Makes a dispatcher for the listener (null: events call nothing) the
// device's subscriber, replacing any other. The device's result.
bool SubscribeListener(JNIEnv* env, IDevice& device, jobject listener);

}  // namespace pelorixj
