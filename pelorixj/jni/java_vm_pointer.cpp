#include "pelorixj/jni/java_vm_pointer.h"

#include <atomic>

namespace pelorixj {
namespace {

// Constant-initialised: ready before any static initialiser runs.
std::atomic<JavaVM*> keptVm{nullptr};

}  // namespace

void KeepJavaVm(JavaVM* vm) { keptVm.store(vm, std::memory_order_release); }

JavaVM* KeptJavaVm() { return keptVm.load(std::memory_order_acquire); }

}  // namespace pelorixj
