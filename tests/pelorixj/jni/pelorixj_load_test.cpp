// Loads libPelorixj.so into a program that does not link Quorlan, as a Java
// VM would: its load-time tables are built and it binds libQuorlan.so found
// beside it through its run path. Each test runs in a process of its own.
#include <gtest/gtest.h>

#include <filesystem>

#include "pelorixj/platform/dynamic_library.h"

namespace pelorixj {
namespace {

namespace fs = std::filesystem;

// Loading by plain name succeeds only when some module of the process has
// loaded the library already: this program's search path has no Quorlan.
bool QuorlanIsLoaded() {
  DynamicLibrary probe;
  return probe.Load(kQuorlanLibraryFile) && probe.GetSymbol("QRX_CreateCommand") != nullptr;
}

TEST(PelorixjLoad, BindsQuorlanFoundBesideIt) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  // The sanitizers' dlopen asks on the library's behalf, so the loader
  // applies the sanitizer runtime's search path instead of $ORIGIN.
  GTEST_SKIP() << "run path not applied under the sanitizers";
#endif
  ASSERT_FALSE(QuorlanIsLoaded());
  DynamicLibrary pelorixj;
  ASSERT_TRUE(pelorixj.Load(PELORIXJ_LIBRARY));
  EXPECT_TRUE(QuorlanIsLoaded());
}

TEST(PelorixjLoad, LoadsWithNoDeviceLibraryBesideIt) {
  const fs::path folder = PELORIXJ_ALONE_FOLDER;
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path copy = folder / fs::path(PELORIXJ_LIBRARY).filename();
  fs::copy_file(PELORIXJ_LIBRARY, copy);
  DynamicLibrary pelorixj;
  EXPECT_TRUE(pelorixj.Load(copy.string()));
  EXPECT_FALSE(QuorlanIsLoaded());
  fs::remove_all(folder);
}

}  // namespace
}  // namespace pelorixj
