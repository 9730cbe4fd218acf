// The test tools that Java drives (simulated readers, upload desks) are
// held in Java as their addresses: test code alone makes and frees them.
#pragma once

#include <jni.h>

#include <cstdint>

namespace pelorixj {

template <typename Object>
Object* FromHandle(jlong handle) {
  return reinterpret_cast<Object*>(static_cast<intptr_t>(handle));
}

template <typename Object>
jlong ToHandle(Object* object) {
  return static_cast<jlong>(reinterpret_cast<intptr_t>(object));
}

}  // namespace pelorixj
