// A Java listener subscribed to a device: the JavaEventDispatcher made for
// it is owned through the device's user-data word, which holds its address
// (0 for none). Each dispatcher, with its global reference to the listener,
// is freed exactly once: when it is replaced, unsubscribed, or its device
// released. The device's subscriber guard makes sure that no delivery to it
// is still running on another thread by then.
//
// Subscriptions change one at a time, process-wide. A listener may change
// subscriptions, or release its device, from inside an event, but not while
// another thread is changing the subscription of the device whose event it
// handles: each would wait for the other.
#pragma once

#include <jni.h>

#include "pelorixj/device/idevice.h"

namespace pelorixj {

// Makes a dispatcher for the listener (null: events call nothing) the
// device's subscriber, then frees the one it replaces. The device's result.
bool SubscribeListener(JNIEnv* env, IDevice& device, jobject listener);

// Drops the device's subscriber, clears the word and frees the dispatcher
// that it held, if any. The device's result.
bool UnsubscribeListener(IDevice& device);

}  // namespace pelorixj
