#include "quorlan/message/message_frame.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace quorlan {
namespace {

TEST(BerLength, UsesTheShortestForm) {
  const std::pair<uint32_t, const char*> cases[] = {
      {0, "00"},           {5, "05"},           {127, "7F"},           {128, "8180"},
      {200, "81C8"},       {255, "81FF"},       {256, "820100"},       {300, "82012C"},
      {65535, "82FFFF"},   {65536, "83010000"}, {16777215, "83FFFFFF"}, {16777216, "8401000000"},
      {0xFFFFFFFF, "84FFFFFFFF"},
  };
  for (const auto& [count, hex] : cases) EXPECT_EQ(BerLengthToHex(count), hex) << count;
}

TEST(TagRule, MapsKeysToTagsAndBack) {
  const std::pair<int, uint8_t> cases[] = {{0, 0x80},  {1, 0x81},  {30, 0x9E},  {31, 0xA0},
                                           {61, 0xBE}, {62, 0xFF}, {-1, 0xFF}, {1000, 0xFF}};
  for (const auto& [key, tag] : cases) EXPECT_EQ(TagOfParameterKey(key), tag) << key;
  for (int key = 1; key <= 61; ++key) EXPECT_EQ(ParameterKeyOfTag(TagOfParameterKey(key)), key);
  for (int tag : {0x00, 0x01, 0x7F, 0x80, 0x9F, 0xBF, 0xFF}) {
    EXPECT_EQ(ParameterKeyOfTag(static_cast<uint8_t>(tag)), 0) << tag;
  }
}

TEST(FrameSerialize, WritesTypeThenItemsInKeyOrder) {
  OrvaneAPIFrameWork empty(0xAA00);
  EXPECT_EQ(empty.Serialize(), Bytes({0xAA, 0x00}));

  OrvaneAPIFrameWork frame(0xAA00);
  frame.SetParameter(4, {});
  frame.SetParameter(1, {0x01, 0x02});
  EXPECT_EQ(BytesToHexString(frame.Serialize()), "AA00810201028400");

  OrvaneAPIFrameWork big(0x0001);
  big.SetParameter(2, Bytes(200, 0x11));
  big.SetParameter(31, Bytes(300, 0x22));
  Bytes bytes = big.Serialize();
  EXPECT_EQ(BytesToHexString(Bytes(bytes.begin(), bytes.begin() + 4)), "00018281");
  EXPECT_EQ(bytes[4], 0xC8);
  EXPECT_EQ(BytesToHexString(Bytes(bytes.begin() + 205, bytes.begin() + 209)), "A082012C");
}

TEST(FrameSerialize, KeysWithoutAWireTagComeOutAsWrittenByTag) {
  OrvaneAPIFrameWork frame(0x1000);
  frame.SetParameterFromTag(0x9F, "AB");
  frame.SetParameterFromTag(0x80, "CD");
  frame.SetParameterFromTag(0xA1, "EF");
  EXPECT_EQ(BytesToHexString(frame.Serialize()), "1000" "FF01AB" "8001CD" "A101EF");
  EXPECT_EQ(frame.GetParameter(32), Bytes({0xEF}));

  OrvaneAPIFrameWork back = OrvaneAPIFrameWork::Parse(frame.Serialize());
  EXPECT_EQ(back.parameters, (ParameterMap{{32, {0xEF}}}));
}

struct ParseCase {
  const char* hex;
  FrameType type;
  ParameterMap parameters;
};

TEST(FrameParse, ReadsTheItemsThatNameParameters) {
  const ParseCase cases[] = {
      {"AA00810105009F0107", 0xAA00, {{1, {0x05}}}},
      {"AA00BF0107A00109", 0xAA00, {{31, {0x09}}}},
      {"AA00820101820102", 0xAA00, {{2, {0x02}}}},
      {"AA0081", 0xAA00, {}},
      {"1234810084020102", 0x1234, {{1, {}}, {4, {0x01, 0x02}}}},
      {"12348180", 0x1234, {{1, {}}}},
      {"1234818100", 0x1234, {{1, {}}}},
  };
  for (const auto& c : cases) {
    const Bytes bytes = HexStringToBytes(c.hex);
    OrvaneAPIFrameWork frame = OrvaneAPIFrameWork::Parse(bytes);
    EXPECT_EQ(frame.type, c.type) << c.hex;
    EXPECT_EQ(frame.parameters, c.parameters) << c.hex;
    // Read in place, the frame holds the same values.
    const auto view = FrameView::Read(ViewOf(bytes));
    ASSERT_TRUE(view) << c.hex;
    EXPECT_EQ(view->type, c.type) << c.hex;
    for (int key = 0; key <= 61; ++key) {
      EXPECT_EQ(view->Parameter(key).ToBytes(), frame.GetParameter(key)) << c.hex << " key " << key;
      EXPECT_EQ(FrameView::Of(frame).Parameter(key).ToBytes(), frame.GetParameter(key)) << c.hex << " key " << key;
    }
  }
}

TEST(FrameParse, RefusesFewerThanThreeBytes) {
  for (const char* hex : {"", "AA", "AA00"}) {
    EXPECT_FALSE(FrameView::Read(ViewOf(HexStringToBytes(hex)))) << hex;
    try {
      OrvaneAPIFrameWork::Parse(HexStringToBytes(hex));
      ADD_FAILURE() << "parsed '" << hex << "'";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "invalid data");
    }
  }
}

TEST(ParseTlvItems, ReadsNothingBeyondTheDataAtAnyTruncation) {
  OrvaneAPIFrameWork frame(0xAA00);
  frame.SetParameter(1, {0x01, 0x02, 0x03});
  frame.SetParameter(2, Bytes(130, 0x5A));
  frame.SetParameter(3, Bytes(300, 0xA5));
  frame.SetParameter(40, {0x77});
  const Bytes full = frame.Serialize();
  for (size_t cut = 3; cut <= full.size(); ++cut) {
    // A copy of exactly cut bytes, so that AddressSanitizer sees any read past it.
    auto* data = new uint8_t[cut];
    std::copy(full.begin(), full.begin() + cut, data);
    std::vector<TlvItem> items = ParseTlvItems(data + 2, cut - 2);
    size_t consumed = 0;
    for (const TlvItem& item : items) {
      Bytes whole = frame.GetParameter(ParameterKeyOfTag(item.tag));
      ASSERT_LE(item.value.size(), whole.size()) << "cut " << cut;
      EXPECT_TRUE(std::equal(item.value.begin(), item.value.end(), whole.begin())) << "cut " << cut;
      consumed += item.value.size();
    }
    EXPECT_LE(consumed, cut - 2);
    delete[] data;
  }
  EXPECT_EQ(OrvaneAPIFrameWork::Parse(full).parameters, frame.parameters);
}

TEST(ParseTlvItems, TruncatedItemKeepsTheBytesThatArePresent) {
  Bytes data = HexStringToBytes("8105AABB");
  std::vector<TlvItem> items = ParseTlvItems(data.data(), data.size());
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].value, Bytes({0xAA, 0xBB}));

  Bytes lengthCut = HexStringToBytes("818201");
  items = ParseTlvItems(lengthCut.data(), lengthCut.size());
  ASSERT_EQ(items.size(), 1u);
  EXPECT_TRUE(items[0].value.empty());

  Bytes negative = HexStringToBytes("8184FFFFFFFF820101");
  items = ParseTlvItems(negative.data(), negative.size());
  ASSERT_EQ(items.size(), 2u);
  EXPECT_TRUE(items[0].value.empty());

  EXPECT_TRUE(ParseTlvItems(nullptr, 10).empty());
  EXPECT_TRUE(ParseTlvItems(data.data(), 1).empty());
}

TEST(Frame, RandomParameterMapsSurviveSerializeAndParse) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> keyOf(1, 61);
  std::uniform_int_distribution<int> byteOf(0, 255);
  const size_t sizes[] = {0, 1, 127, 128, 255, 256, 1000, 65535, 65536, 70000};
  for (int round = 0; round < 200; ++round) {
    OrvaneAPIFrameWork frame(static_cast<FrameType>(random()));
    int count = 1 + random() % 8;  // a frame without parameters is too short to parse
    for (int i = 0; i < count; ++i) {
      Bytes value(sizes[random() % (round < 180 ? 7 : 10)]);
      for (auto& b : value) b = static_cast<uint8_t>(byteOf(random));
      frame.SetParameter(keyOf(random), value);
    }
    OrvaneAPIFrameWork back = OrvaneAPIFrameWork::Parse(frame.Serialize());
    ASSERT_EQ(back.type, frame.type);
    ASSERT_EQ(back.parameters, frame.parameters) << "round " << round;
  }
}

}  // namespace
}  // namespace quorlan
