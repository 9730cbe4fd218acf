#include "pelorixj/platform/dynamic_library.h"

#include <gtest/gtest.h>

#include <string>

namespace pelorixj {
namespace {

// A library that every machine of the platform has, and one of its exports.
#ifdef _WIN32
const char kSystemLibrary[] = "kernel32.dll";
const char kSystemExport[] = "GetTickCount";
#else
const char kSystemLibrary[] = "libm.so.6";
const char kSystemExport[] = "cos";
#endif

TEST(DynamicLibrary, LoadsByPlainNameAndFindsExports) {
  DynamicLibrary library;
  ASSERT_TRUE(library.Load(kSystemLibrary));
  EXPECT_TRUE(library.IsLoaded());
  EXPECT_NE(library.GetSymbol(kSystemExport), nullptr);
  EXPECT_EQ(library.GetSymbol("NoSuchExportAnywhere"), nullptr);
  EXPECT_EQ(library.GetSymbol(""), nullptr);
}

TEST(DynamicLibrary, NothingLoadedFindsNothingWithoutAskingTheSystem) {
  struct Case {
    std::string fileName;
    bool attempt;
  };
  // The system would answer an empty name or a missing module with the
  // program's own symbols.
  for (const Case& c : {Case{"", false}, Case{"", true}, Case{"libNoSuchLibrary.so", true}}) {
    DynamicLibrary library;
    if (c.attempt) {
      EXPECT_FALSE(library.Load(c.fileName)) << c.fileName;
    }
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(library.GetSymbol("malloc"), nullptr) << c.fileName;
    EXPECT_EQ(library.GetSymbol(kSystemExport), nullptr) << c.fileName;
  }
}

}  // namespace
}  // namespace pelorixj
