// Loads the libPelorixj.so named by its argument into a program that links
// no part of the SDK and calls its JNI_OnLoad with no VM, as a Java VM would,
// and fails unless that brought libQuorlan.so in, found beside it through
// its run path.
#include <jni.h>

#include <cstdio>

#include "pelorixj/platform/dynamic_library.h"

namespace {

// Loading by plain name succeeds only when some module of the process has
// loaded the library already: this program's search path has no Quorlan.
bool QuorlanIsLoaded() {
  pelorixj::DynamicLibrary probe;
  return probe.Load(pelorixj::kQuorlanLibraryFile) && probe.GetSymbol("QRX_CreateCommand") != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <installed libPelorixj.so>\n", argv[0]);
    return 2;
  }
  if (QuorlanIsLoaded()) {
    std::fprintf(stderr, "libQuorlan.so is on this program's own search path: nothing to tell\n");
    return 1;
  }
  pelorixj::DynamicLibrary pelorixj;
  if (!pelorixj.Load(argv[1])) {
    std::fprintf(stderr, "%s did not load\n", argv[1]);
    return 1;
  }
  using OnLoad = jint(JNICALL*)(JavaVM*, void*);
  const auto onLoad = reinterpret_cast<OnLoad>(pelorixj.GetSymbol("JNI_OnLoad"));
  if (onLoad == nullptr || onLoad(nullptr, nullptr) != JNI_VERSION_1_6) {
    std::fprintf(stderr, "%s: JNI_OnLoad missing or failed\n", argv[1]);
    return 1;
  }
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  // The sanitizers' dlopen asks on the library's behalf, so the loader
  // applies the sanitizer runtime's search path instead of $ORIGIN.
  std::puts("loaded; its run path is not applied under the sanitizers");
  return 0;
#else
  if (!QuorlanIsLoaded()) {
    std::fprintf(stderr, "%s: JNI_OnLoad did not bring libQuorlan.so in from beside it\n", argv[1]);
    return 1;
  }
  std::puts("loaded, with libQuorlan.so from beside it");
  return 0;
#endif
}
