#include "pelorixj/core/utf_conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace pelorixj {
namespace {

struct Utf8Case {
  std::string utf8;
  std::u16string utf16;
};

TEST(Utf8ToUtf16, DecodesWellFormedTextAndReplacesEachIllFormedPartOnce) {
  const Utf8Case cases[] = {
      {"", u""},
      {"card_swiped", u"card_swiped"},
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9D\x84\x9E!", u"caf\u00E9 \u20AC \U0001D11E!"},
      {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", u"\uFFFF\U0010FFFF"},
      {"A\xFF" "B", u"A\uFFFDB"},
      {"\x80\xBF", u"\uFFFD\uFFFD"},
      {"\xE2\x82", u"\uFFFD"},
      {"\xE2\x82" "A", u"\uFFFDA"},
      {"\xF0\x9D\x84", u"\uFFFD"},
      {"\xC0\xAF\xC1\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xF5\xF8\xFE", u"\uFFFD\uFFFD\uFFFD"},
      {"\xC3" "\xC3\xA9", u"\uFFFD\u00E9"},
  };
  for (const Utf8Case& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << testing::PrintToString(c.utf8);
  }
}

struct ModifiedCase {
  std::string modified;
  std::string utf8;
};

TEST(ModifiedUtf8ToUtf8, JoinsSurrogatePairsAndRestoresZeroBytes) {
  const ModifiedCase cases[] = {
      {"", ""},
      {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"\xED\xA0\xB4\xED\xB4\x9E!", "\xF0\x9D\x84\x9E!"},
      {"\xED\xAF\xBF\xED\xBF\xBF", "\xF4\x8F\xBF\xBF"},
      {"a\xC0\x80" "b", std::string("a\0b", 3)},
      {"\xED\xA0\x80x", "\xEF\xBF\xBDx"},
      {"\xED\xB0\x80\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xED\xA0\x80\xED\xA0\x80\xED\xB0\x80", "\xEF\xBF\xBD\xF0\x90\x80\x80"},
      {"\xED\xA0", "\xED\xA0"},
  };
  for (const ModifiedCase& c : cases) {
    EXPECT_EQ(ModifiedUtf8ToUtf8(c.modified), c.utf8) << testing::PrintToString(c.modified);
  }
}

}  // namespace
}  // namespace pelorixj
