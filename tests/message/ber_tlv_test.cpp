#include "quorlan/message/ber_tlv.h"
#include "quorlan/message/message_frame.h"
#include "quorlan/message/plain_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorlan {
namespace {

struct ExpectedNode {
  std::string tag;
  std::string value;
  int length;
};

std::vector<ExpectedNode> Summary(const TlvNodes& nodes) {
  std::vector<ExpectedNode> summary;
  for (const TlvNode& node : nodes) summary.push_back({node.tag, node.value, node.length});
  return summary;
}

bool operator==(const ExpectedNode& a, const ExpectedNode& b) {
  return a.tag == b.tag && a.value == b.value && a.length == b.length;
}

std::ostream& operator<<(std::ostream& out, const ExpectedNode& node) {
  return out << node.tag << "[" << node.length << "]=" << node.value;
}

struct ReaderCase {
  const char* hex;
  std::vector<ExpectedNode> flat;
  std::vector<ExpectedNode> topLevel;
};

TEST(BerTlvReaders, ReadTheItemsOfEachLevel) {
  const ReaderCase cases[] = {
      {"E105C10107C200",
       {{"E1", "C10107C200", 5}, {"C1", "07", 1}, {"C2", "", 0}},
       {{"E1", "C10107C200", 5}}},
      {"C1050102", {{"C1", "0102", 5}}, {}},
      {"9F0206000000000100", {{"9F02", "000000000100", 6}}, {{"9F02", "000000000100", 6}}},
      {"DF810101AA", {{"DF8101", "AA", 1}}, {{"DF8101", "AA", 1}}},
      {"C1010700C20108", {{"C1", "07", 1}}, {{"C1", "07", 1}}},
      {"C10107E1", {{"C1", "07", 1}}, {{"C1", "07", 1}}},
      {"A1068101038201009F", {{"A1", "810103820100", 6}, {"81", "03", 1}, {"82", "00", 1}},
       {{"A1", "810103820100", 6}}},
      // A zero byte inside a multi-byte tag ends the tag and is its length.
      {"9F00C10107", {{"9F", "", 0}, {"C1", "07", 1}}, {{"9F", "", 0}, {"C1", "07", 1}}},
      // Length bytes missing at the end of the data.
      {"C18201", {{"C1", "", 1}}, {}},
      {"E1", {}, {}},
      {"", {}, {}},
      {"00C10107", {}, {}},
      // A length beyond 32 bits runs past the data like any other.
      {"C185FFFFFFFFFF01", {{"C1", "01", 0x7FFFFFFF}}, {}},
  };
  for (const auto& c : cases) {
    const Bytes bytes = HexStringToBytes(c.hex);
    EXPECT_EQ(Summary(ParseBerTlvFlat(bytes)), c.flat) << c.hex;
    EXPECT_EQ(Summary(ParseBerTlvTopLevel(bytes)), c.topLevel) << c.hex;
  }
}

TEST(BerTlvReaders, ReadTheLongLengthForms) {
  const std::pair<const char*, int> cases[] = {
      {"81 05", 5}, {"82 01 00", 256}, {"83 01 00 05", 65541}, {"84 01 00 00 00", 16777216}, {"80", 0},
  };
  for (const auto& [lengthField, length] : cases) {
    Bytes bytes = {0xC1};
    for (const std::string& piece : SplitString(lengthField, " ")) bytes.push_back(HexStringToBytes(piece).at(0));
    bytes.push_back(0x42);
    const TlvNodes nodes = ParseBerTlvFlat(bytes);
    ASSERT_EQ(nodes.size(), 1u) << lengthField;
    EXPECT_EQ(nodes[0].length, length) << lengthField;
    EXPECT_EQ(nodes[0].value, length == 0 ? "" : "42") << lengthField;
  }
}

TEST(BerTlvReaders, ReadNothingWithoutData) {
  EXPECT_TRUE(ParseBerTlvFlat(nullptr, 10).empty());
  EXPECT_TRUE(ParseBerTlvTopLevel(nullptr, 10).empty());
  const uint8_t one[] = {0xC1};
  EXPECT_TRUE(ParseBerTlvFlat(one, 1).empty());
}

// A multi-byte tag of the given size: 1F-type first byte, continuation bytes
// with bit 7 set, a last byte without.
Bytes TagOfSize(size_t size) {
  Bytes tag = {0xDF};
  while (tag.size() + 1 < size) tag.push_back(0x81);
  tag.push_back(0x01);
  return tag;
}

TEST(BerTlvReaders, StopAtATagLongerThanTheirStore) {
  for (size_t size : {size_t{2}, kMaxTlvTagBytes, kMaxTlvTagBytes + 1, size_t{40}}) {
    Bytes bytes = {0xC1, 0x01, 0x07};
    const Bytes tag = TagOfSize(size);
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    bytes.insert(bytes.end(), {0x01, 0x08, 0xC2, 0x01, 0x09});
    const size_t expected = size <= kMaxTlvTagBytes ? 3 : 1;
    const TlvNodes flat = ParseBerTlvFlat(bytes);
    const TlvNodes top = ParseBerTlvTopLevel(bytes);
    EXPECT_EQ(flat.size(), expected) << size;
    EXPECT_EQ(top.size(), expected) << size;
    if (size <= kMaxTlvTagBytes) {
      ASSERT_EQ(flat.size(), 3u);
      EXPECT_EQ(flat[1].tag, BytesToHexString(tag));
      EXPECT_EQ(flat[1].value, "08");
    }
  }
}

// Constructed items nested to the given depth around one primitive item.
Bytes NestedItems(size_t depth) {
  Bytes bytes = {0xC1, 0x01, 0x07};
  for (size_t i = 0; i < depth; ++i) {
    const Bytes length = BerLengthBytes(static_cast<uint32_t>(bytes.size()));
    bytes.insert(bytes.begin(), length.begin(), length.end());
    bytes.insert(bytes.begin(), 0xE1);
  }
  return bytes;
}

TEST(BerTlvReaders, FlatReaderStopsBeyondItsNestingDepth) {
  EXPECT_EQ(ParseBerTlvFlat(NestedItems(kMaxBerTlvDepth)).size(), kMaxBerTlvDepth + 1);
  const TlvNodes tooDeep = ParseBerTlvFlat(NestedItems(kMaxBerTlvDepth + 1));
  EXPECT_EQ(tooDeep.size(), kMaxBerTlvDepth);
  EXPECT_EQ(ParseBerTlvTopLevel(NestedItems(kMaxBerTlvDepth + 5)).size(), 1u);

  // Items closed again no longer count: many shallow siblings read fully.
  Bytes siblings;
  for (int i = 0; i < 3 * static_cast<int>(kMaxBerTlvDepth); ++i) {
    siblings.insert(siblings.end(), {0xE1, 0x03, 0xC1, 0x01, static_cast<uint8_t>(i)});
  }
  EXPECT_EQ(ParseBerTlvFlat(siblings).size(), 6 * kMaxBerTlvDepth);
}

TEST(BerTlvReaders, FlatReaderCopiesBoundedByDepthOnClaimsReachingTheEnd) {
  // Constructed items that each claim the rest of a large block: without a
  // bound every one of them would copy the whole remainder.
  Bytes bytes;
  for (int i = 0; i < 4000; ++i) bytes.insert(bytes.end(), {0xE1, 0x83, 0x0F, 0xFF, 0xFF});
  size_t copied = 0;
  for (const TlvNode& node : ParseBerTlvFlat(bytes)) copied += node.value.size() / 2;
  EXPECT_LE(copied, kMaxBerTlvDepth * bytes.size());
}

TEST(BerTlvReaders, NeverLookBeyondTheCountGiven) {
  const Bytes samples[] = {
      HexStringToBytes("E20CE10AE108E106C10401020304"),
      HexStringToBytes("9F0206000000000100DF8101810181C8"),
      HexStringToBytes("A4129F3703AABBCCE10BC10107A0058101028200"),
      HexStringToBytes("C184FFFFFFFFE1838000009F"),
  };
  for (const Bytes& sample : samples) {
    for (size_t count = 0; count <= sample.size(); ++count) {
      Bytes zeros(sample.begin(), sample.begin() + count);
      Bytes ones = zeros;
      zeros.resize(count + 64, 0x00);
      ones.resize(count + 64, 0xFF);
      EXPECT_EQ(Summary(ParseBerTlvFlat(zeros.data(), count)), Summary(ParseBerTlvFlat(ones.data(), count)))
          << BytesToHexString(sample) << " count " << count;
      EXPECT_EQ(Summary(ParseBerTlvTopLevel(zeros.data(), count)),
                Summary(ParseBerTlvTopLevel(ones.data(), count)))
          << BytesToHexString(sample) << " count " << count;
    }
  }
}

TEST(FindTlvValue, FindsTheFirstNodeOfATagInAnyCase) {
  const TlvNodes nodes = ParseBerTlvFlat(HexStringToBytes("E1068101038101048101059F0201AA"));
  EXPECT_EQ(FindTlvValue(nodes, "81"), "03");
  EXPECT_EQ(FindTlvValue(nodes, "9f02"), "AA");
  EXPECT_EQ(FindTlvValue(nodes, "e1"), "810103810104");
  EXPECT_EQ(FindTlvValue(nodes, "82"), "");
  EXPECT_EQ(FindTlvValue({}, "81"), "");
}

TEST(TlvNodeTest, TakesANegativeLengthFromItsValue) {
  EXPECT_EQ(TlvNode("C1", "010203").length, 3);
  EXPECT_EQ(TlvNode("C1", "01020").length, 3);
  EXPECT_EQ(TlvNode("C1", "").length, 0);
  EXPECT_EQ(TlvNode("C1", "0102", 7).length, 7);
}

}  // namespace
}  // namespace quorlan
