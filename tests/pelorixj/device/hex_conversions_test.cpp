#include "pelorixj/device/hex_conversions.h"

#include <gtest/gtest.h>

#include <string>

#include "quorlan/message/hex_text.h"

namespace pelorixj {
namespace {

// Bad input, which callers' text is checked for with IsHexPairs.
TEST(HexPairsToBytes, DiffersFromQuorlansDecoderOnlyOnBadInput) {
  struct Case {
    std::string hex;
    bool pairs;     // IsHexPairs
    Bytes device;   // HexPairsToBytes
    Bytes quorlan;  // quorlan::HexStringToBytes
  };
  const Case cases[] = {
      {"0a1B", true, {0x0A, 0x1B}, {0x0A, 0x1B}},
      {"FF00", true, {0xFF, 0x00}, {0xFF, 0x00}},
      {"ff", true, {0xFF}, {0xFF}},
      {"", true, {}, {}},
      {"F", false, {}, {0x0F}},
      {"ABC", false, {}, {0xAB, 0x0C}},
      {"1Z", false, {0x10}, {0x01}},
      {"G1", false, {0x01}, {0x00}},
      {"-1", false, {0x01}, {0xFF}},
      {"zz", false, {0x00}, {0x00}},
      {"A 0B", false, {0xA0, 0x0B}, {0x0A, 0x0B}},
      {"\xC3" "F", false, {0x0F}, {0x00}},
      {"\xC3\xA9", false, {0x00}, {0x00}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsHexPairs(c.hex), c.pairs) << c.hex;
    EXPECT_EQ(HexPairsToBytes(c.hex), c.device) << c.hex;
    EXPECT_EQ(quorlan::HexStringToBytes(c.hex), c.quorlan) << c.hex;
  }
}

TEST(BytesToHexString, WritesEveryByteAsQuorlanDoes) {
  Bytes all(256);
  for (int b = 0; b < 256; ++b) all[b] = static_cast<uint8_t>(b);
  EXPECT_EQ(BytesToHexString(all), quorlan::BytesToHexString(all));
  EXPECT_EQ(HexPairsToBytes(BytesToHexString(all)), all);
}

TEST(HexToBuffer, CopiesOnlyWhenTheCountSufficesAndAlwaysReportsTheSize) {
  struct Case {
    std::string hex;
    bool withBuffer;
    bool withCount;
    int count;
    Bytes copied;  // the start of a buffer filled with EE beforehand
    int countAfter;
  };
  const Case cases[] = {
      {"A1B2C3", true, true, 2, {0xEE, 0xEE, 0xEE}, 3},
      {"A1B2C3", true, true, 3, {0xA1, 0xB2, 0xC3}, 3},
      {"A1B2C3", true, true, 8, {0xA1, 0xB2, 0xC3}, 3},
      {"A1B2C3", false, true, 8, {0xEE, 0xEE, 0xEE}, 3},
      {"A1B2C3", true, false, 0, {0xEE, 0xEE, 0xEE}, 0},
      {"A1B", true, true, 8, {0xEE, 0xEE, 0xEE}, 0},
  };
  for (const Case& c : cases) {
    Bytes buffer(8, 0xEE);
    int count = c.count;
    HexToBuffer(c.hex, c.withBuffer ? buffer.data() : nullptr, c.withCount ? &count : nullptr);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), c.copied) << c.hex << " count " << c.count;
    EXPECT_EQ(count, c.countAfter) << c.hex << " count " << c.count;
  }
}

TEST(HexToText, KeepsZeroBytesAndTextToHexReversesIt) {
  EXPECT_EQ(HexToText("414200"), std::string("AB\0", 3));
  EXPECT_EQ(HexToText("4"), "");
  EXPECT_EQ(HexToText(""), "");
  EXPECT_EQ(TextToHex("AB"), "4142");
  EXPECT_EQ(TextToHex(std::string("\0\xFF", 2)), "00FF");
}

}  // namespace
}  // namespace pelorixj
