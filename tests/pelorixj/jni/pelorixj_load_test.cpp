// Loads libPelorixj.so into a program that does not link Quorlan, then calls
// its JNI_OnLoad with no VM, as a Java VM would next: loading alone binds
// nothing, JNI_OnLoad binds libQuorlan.so found beside it through its run
// path. Each test runs in a process of its own.
#include <gtest/gtest.h>
#include <jni.h>

#include <filesystem>

#include "pelorixj/platform/dynamic_library.h"

namespace pelorixj {
namespace {

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers' dlopen asks on the library's behalf, so the loader applies
// the sanitizer runtime's search path instead of $ORIGIN.
constexpr bool kRunPathApplies = false;
#else
constexpr bool kRunPathApplies = true;
#endif

// Loading by plain name succeeds only when some module of the process has
// loaded the library already: this program's search path has no Quorlan.
bool QuorlanIsLoaded() {
  DynamicLibrary probe;
  return probe.Load(kQuorlanLibraryFile) && probe.GetSymbol("QRX_CreateCommand") != nullptr;
}

jint CallJniOnLoad(const DynamicLibrary& pelorixj) {
  using OnLoad = jint(JNICALL*)(JavaVM*, void*);
  const auto onLoad = reinterpret_cast<OnLoad>(pelorixj.GetSymbol("JNI_OnLoad"));
  return onLoad == nullptr ? JNI_ERR : onLoad(nullptr, nullptr);
}

TEST(PelorixjLoad, BindsQuorlanFoundBesideItInJniOnLoadNotWhenLoaded) {
  ASSERT_FALSE(QuorlanIsLoaded());
  DynamicLibrary pelorixj;
  ASSERT_TRUE(pelorixj.Load(PELORIXJ_LIBRARY));
  EXPECT_FALSE(QuorlanIsLoaded()) << "a static initialiser loaded Quorlan";
  EXPECT_EQ(JNI_VERSION_1_6, CallJniOnLoad(pelorixj));
  if (kRunPathApplies) {
    EXPECT_TRUE(QuorlanIsLoaded());
  }
}

TEST(PelorixjLoad, LoadsWithNoDeviceLibraryBesideIt) {
  const fs::path folder = PELORIXJ_ALONE_FOLDER;
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path copy = folder / fs::path(PELORIXJ_LIBRARY).filename();
  fs::copy_file(PELORIXJ_LIBRARY, copy);
  DynamicLibrary pelorixj;
  EXPECT_TRUE(pelorixj.Load(copy.string()));
  EXPECT_EQ(JNI_VERSION_1_6, CallJniOnLoad(pelorixj));
  EXPECT_FALSE(QuorlanIsLoaded());
  fs::remove_all(folder);
}

}  // namespace
}  // namespace pelorixj
