#include "quorlan/transport/device_list_entry.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "quorlan/message/json_escape.h"

namespace quorlan {
namespace {

struct EscapeCase {
  std::string name;
  std::string text;
  std::string escaped;
};

void PrintTo(const EscapeCase& c, std::ostream* out) { *out << c.name; }

const std::vector<EscapeCase> kEscapes = {
    {"OrdinaryTextUnchanged", "KV0001234 Card Reader", "KV0001234 Card Reader"},
    {"EmptyText", "", ""},
    {"BackslashDoubled", R"(\\?\hid#vid_7a3b)", R"(\\\\?\\hid#vid_7a3b)"},
    {"SolidusAndQuoteGetABackslash", R"(a/"b")", R"(a\/\"b\")"},
    {"ShortControlEscapes", "\b\f\n\r\t", R"(\b\f\n\r\t)"},
    {"OtherControlsBecomeUnicodeEscapes", std::string("a\x01\x1F\x0B", 4) + std::string(1, '\0'),
     R"(a\u0001\u001F\u000B\u0000)"},
    {"Utf8AndDeleteCopied", "Lecteur \xC3\xA9tendu\x7F", "Lecteur \xC3\xA9tendu\x7F"},
};

class JsonEscape : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(JsonEscape, EscapesOnlyWhatJsonRequires) {
  EXPECT_EQ(EscapeJsonString(GetParam().text), GetParam().escaped);
}

INSTANTIATE_TEST_SUITE_P(Texts, JsonEscape, ::testing::ValuesIn(kEscapes),
                         [](const auto& info) { return info.param.name; });

struct ClipCase {
  std::string name;
  std::string text;
  size_t maxUnits;
  std::string clipped;
};

void PrintTo(const ClipCase& c, std::ostream* out) { *out << c.name; }

const std::vector<ClipCase> kClips = {
    {"ShortTextKept", "KV0001234", 32, "KV0001234"},
    {"AsciiCutAtTheLimit", std::string(40, 'A'), 32, std::string(32, 'A')},
    {"TwoByteCharactersCountOnce", "\xC3\xA9\xC3\xA9\xC3\xA9", 2, "\xC3\xA9\xC3\xA9"},
    {"SurrogatePairCountsTwice", "ab\xF0\x9F\x92\xB3", 4, "ab\xF0\x9F\x92\xB3"},
    {"SurrogatePairThatDoesNotFitIsLeftOut", "abc\xF0\x9F\x92\xB3", 4, "abc"},
    {"EndsAtNul", std::string("KV1\0junk", 8), 32, "KV1"},
    {"TruncatedSequenceLeftOut", "ab\xE2\x82", 32, "ab"},
};

class Utf16Clip : public ::testing::TestWithParam<ClipCase> {};

TEST_P(Utf16Clip, KeepsWhatAWindowsStringBufferHolds) {
  const ClipCase& c = GetParam();
  EXPECT_EQ(ClipToUtf16Units(c.text, c.maxUnits), c.clipped);
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf16Clip, ::testing::ValuesIn(kClips),
                         [](const auto& info) { return info.param.name; });

TEST(DeviceListEntry, HasTheKeysInOrderWithoutSpaces) {
  EXPECT_EQ(BuildDeviceListEntry("KV0001234", "Card Reader", 0x3A11, 0x7A3B, "/dev/hidraw0"),
            R"({"DSN":"KV0001234","Name":"KV0001234","Product":"Card Reader","PID":"3A11",)"
            R"("VID":"7A3B","Path":"\/dev\/hidraw0"})");
}

TEST(DeviceListEntry, IdsAreFourUpperCaseHexDigits) {
  EXPECT_EQ(BuildDeviceListEntry("", "", 0x00AB, 0x0001, ""),
            R"({"DSN":"","Name":"","Product":"","PID":"00AB","VID":"0001","Path":""})");
}

TEST(DeviceListEntry, EveryValueSurvivesAJsonParser) {
  const std::string serial = std::string("S\"1\\\x01", 5);
  const std::string product = "Reader \"Pro\"\n\t/ \xC3\xA9";
  const std::string path = R"(\\?\hid#vid_7a3b&pid_3a11#{4d1e55b2})";
  const auto entry = nlohmann::json::parse(BuildDeviceListEntry(serial, product, 0x3A11, 0x7A3B, path));
  EXPECT_EQ(entry["DSN"], serial);
  EXPECT_EQ(entry["Name"], serial);
  EXPECT_EQ(entry["Product"], product);
  EXPECT_EQ(entry["Path"], path);
}

}  // namespace
}  // namespace quorlan
