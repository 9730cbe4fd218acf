#include "quorlan/message/hex_text.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "quorlan/message/plain_text.h"

namespace quorlan {
namespace {

struct HexCase {
  const char* text;
  Bytes bytes;
};

TEST(HexStringToBytes, DecodesPairsTheWayTheReaderToolsDo) {
  const HexCase cases[] = {
      {"", {}},
      {"0a1B", {0x0A, 0x1B}},
      {"ABC", {0xAB, 0x0C}},
      {"ZZ", {0x00}},
      {"1Z", {0x01}},
      {" 7", {0x07}},
      {"-1", {0xFF}},
      {"0", {0x00}},
      {"F", {0x0F}},
      {"fF", {0xFF}},
      {"G1", {0x00}},
      {"0x", {0x00}},
      {"+5", {0x05}},
      {"00FF10", {0x00, 0xFF, 0x10}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HexStringToBytes(c.text), c.bytes) << "text '" << c.text << "'";
  }
}

// The rule itself, piece by piece: each piece of one or two characters read
// by strtoul in base 16, its low 8 bits kept.
uint8_t PieceByRule(const std::string& piece) {
  return static_cast<uint8_t>(std::strtoul(piece.c_str(), nullptr, 16));
}

TEST(HexStringToBytes, AgreesWithTheRuleOnEveryPairAndEveryOddTail) {
  for (int first = 0; first < 256; ++first) {
    std::string text;
    Bytes expected;
    for (int second = 0; second < 256; ++second) {
      const std::string pair = {static_cast<char>(first), static_cast<char>(second)};
      text += pair;
      expected.push_back(PieceByRule(pair));
    }
    ASSERT_EQ(HexStringToBytes(text), expected) << "pairs starting with " << first;
    const std::string tail(1, static_cast<char>(first));
    ASSERT_EQ(HexStringToBytes(text + tail).back(), PieceByRule(tail)) << "odd tail " << first;
  }
}

TEST(BytesToHexString, WritesUpperCasePairs) {
  EXPECT_EQ(BytesToHexString({0x00, 0xFF, 0x10, 0x0A}), "00FF100A");
  EXPECT_EQ(BytesToHexString({}), "");
}

TEST(HexText, EveryByteSurvivesARoundTrip) {
  Bytes all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<uint8_t>(i));
  EXPECT_EQ(HexStringToBytes(BytesToHexString(all)), all);
  EXPECT_EQ(HexStringToBytes(ToUpper(BytesToHexString(all))), all);
}

TEST(BufferToHexString, CopiesCountBytesAndToleratesNothing) {
  const uint8_t data[] = {0xDE, 0xAD, 0xBE, 0xEF};
  EXPECT_EQ(BufferToHexString(data, 3), "DEADBE");
  EXPECT_EQ(BufferToHexString(data, 0), "");
  EXPECT_EQ(BufferToHexString(nullptr, 4), "");
  EXPECT_EQ(MakeByteVector(data, -1), Bytes());
}

TEST(IntToHexBytes, WritesMinimalBigEndianBytes) {
  const std::pair<int, const char*> cases[] = {
      {0, "00"}, {-5, "00"}, {1, "01"}, {255, "FF"}, {256, "0100"}, {65536, "010000"}, {0x123456, "123456"},
      {0x7FFFFFFF, "7FFFFFFF"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(IntToHexBytes(value), text) << value;
}

}  // namespace
}  // namespace quorlan
