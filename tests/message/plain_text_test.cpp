#include "quorlan/message/plain_text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace quorlan {
namespace {

TEST(SplitString, KeepsInnerEmptyPiecesButNoEmptyLastOne) {
  using List = std::vector<std::string>;
  const std::tuple<const char*, const char*, List> cases[] = {
      {"a,b", ",", {"a", "b"}},
      {"a,,b", ",", {"a", "", "b"}},
      {",a", ",", {"", "a"}},
      {"a,", ",", {"a"}},
      {"", ",", {}},
      {"abc", "", {"abc"}},
      {"", "", {""}},
      {"E1.E2(1).C1", ".", {"E1", "E2(1)", "C1"}},
      {"a<>b<>", "<>", {"a", "b"}},
      {"a<", "<>", {"a<"}},
  };
  for (const auto& [text, delimiter, expected] : cases) {
    EXPECT_EQ(SplitString(text, delimiter), expected) << "'" << text << "' at '" << delimiter << "'";
  }
}

TEST(TrimBlanks, RemovesSpacesAndTabsOnly) {
  EXPECT_EQ(TrimBlanks(" \tX Y\t "), "X Y");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimBlanks("\nX\n"), "\nX\n");
  EXPECT_EQ(RightTrimBlanks(" X \t"), " X");
  EXPECT_EQ(ToUpper("ab1-zZ\xE4"), "AB1-ZZ\xE4");
}

}  // namespace
}  // namespace quorlan
