#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "pelorixj/device/frame_hex.h"
#include "pelorixj/device/hex_conversions.h"
#include "pelorixj/device/tlv_hex.h"

namespace pelorixj {
namespace {

TEST(TlvNodeToHex, WritesTheStatedLengthInItsBerForm) {
  struct Case {
    int length;
    std::string start;
  };
  for (const Case& c : {Case{5, "C105"}, Case{127, "C17F"}, Case{128, "C18180"}, Case{255, "C181FF"},
                        Case{256, "C1820100"}, Case{65536, "C183010000"}}) {
    const std::string value(2 * static_cast<size_t>(c.length), 'A');
    EXPECT_EQ(TlvNodeToHex(quorlan::TlvNode("C1", value, c.length)), c.start + value) << c.length;
  }
  // The stated length, not the size of the value text.
  EXPECT_EQ(TlvNodeToHex(quorlan::TlvNode("9F02", "0102", 200)), "9F0281C8" "0102");
  EXPECT_EQ(TlvNodeToHex(quorlan::TlvNode("82", "0102")), "82020102");
}

TEST(TlvHex, ReadsWithTheDeviceLayersDecoder) {
  EXPECT_TRUE(ParseBerTlvFlatHex("E1" "0381010").empty());
  EXPECT_TRUE(ParseBerTlvTopLevelHex("E1" "0381010").empty());
  quorlan::TlvNodes flat = ParseBerTlvFlatHex("E103810101");
  ASSERT_EQ(flat.size(), 2u);
  EXPECT_EQ(quorlan::FindTlvValue(flat, "81"), "01");
  EXPECT_EQ(quorlan::FindTlvValue(ParseBerTlvTopLevelHex("E103810101"), "E1"), "810101");
  // A pair that is no hexadecimal counts as 0 here; Quorlan would read 1Z as 01.
  EXPECT_EQ(quorlan::FindTlvValue(ParseBerTlvTopLevelHex("81011Z"), "81"), "10");
}

TEST(ParseHex, FailsOnOddLengthAndDecodesLikeTheDeviceLayer) {
  for (const std::string hex : {"AA0081010", "AA0", ""}) {
    try {
      ParseHex(hex);
      ADD_FAILURE() << hex << " parsed";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "invalid data") << hex;
    }
  }
  quorlan::OrvaneAPIFrameWork frame = ParseHex("AA008102G0Z1");
  EXPECT_EQ(frame.type, 0xAA00);
  EXPECT_EQ(frame.GetParameter(1), (Bytes{0x00, 0x01}));
}

TEST(SetParameterFromTag, StoresTheDeviceLayersBytesUnderTheFramesKey) {
  struct Case {
    uint8_t tag;
    std::string hex;
    int key;
    Bytes device;
    Bytes quorlan;
  };
  const Case cases[] = {
      {0x84, "0102", 4, {0x01, 0x02}, {0x01, 0x02}},
      {0xA0, "1Z", 31, {0x10}, {0x01}},
      {0x81, "ABC", 1, {}, {0xAB, 0x0C}},
      {0x80, "01", 0, {0x01}, {0x01}},
      {0x9F, "01", -1, {0x01}, {0x01}},
  };
  for (const Case& c : cases) {
    quorlan::OrvaneAPIFrameWork device(0x1001);
    quorlan::OrvaneAPIFrameWork quorlan(0x1001);
    SetParameterFromTag(device, c.tag, c.hex);
    quorlan.SetParameterFromTag(c.tag, c.hex);
    EXPECT_EQ(device.GetParameter(c.key), c.device) << std::hex << int{c.tag};
    EXPECT_EQ(quorlan.GetParameter(c.key), c.quorlan) << std::hex << int{c.tag};
    if (c.device == c.quorlan) {
      EXPECT_EQ(device.Serialize(), quorlan.Serialize());
    }
  }
}

}  // namespace
}  // namespace pelorixj
