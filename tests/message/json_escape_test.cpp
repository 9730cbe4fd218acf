#include "quorlan/message/json_escape.h"

#include <gtest/gtest.h>

namespace quorlan {
namespace {

TEST(EscapeJsonString, WritesControlCharactersWithoutAShortFormAsUnicodeEscapes) {
  EXPECT_EQ(EscapeJsonString("a\"b/c\n"), "a\\\"b\\/c\\n");
  EXPECT_EQ(EscapeJsonString(std::string("\x01\x1F\x7F\xC3\xA9", 5)), std::string("\\u0001\\u001F\x7F\xC3\xA9", 15));
}

}  // namespace
}  // namespace quorlan
