#include "quorlan/platform/hid_report_descriptor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorlan {
namespace platform {
namespace {

struct LayoutCase {
  std::string name;
  std::vector<uint8_t> descriptor;
  bool numbered;
  int input, output, feature;
};

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }

// Short items used below: 0x75 report size, 0x95 report count, 0x85 report
// id, 0x81 input, 0x91 output, 0xB1 feature, 0xA4 push, 0xB4 pop.
const std::vector<LayoutCase> kLayouts = {
    {"EmptyDescriptorDeclaresNoReports", {}, false, 0, 0, 0},
    {"VendorReaderWith64ByteReportsEachWay",
     {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x40, 0x09, 0x01, 0x81, 0x02,
      0x95, 0x40, 0x09, 0x01, 0x91, 0x02, 0xC0},
     false, 65, 65, 0},
    {"NumberedReportsTakeTheLongestPerType",
     {0x75, 0x08, 0x85, 0x01, 0x95, 0x08, 0x81, 0x02, 0x85, 0x02, 0x95, 0x20, 0x81, 0x02,
      0x85, 0x03, 0x95, 0x10, 0xB1, 0x02},
     true, 33, 0, 17},
    {"FieldsOfOneReportAddUp",
     {0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0x95, 0x03, 0x81, 0x02, 0x95, 0x01, 0x91, 0x02},
     false, 6, 2, 0},
    {"BitFieldsRoundUpToWholeBytes",
     {0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x75, 0x05, 0x95, 0x01, 0x81, 0x03, 0x75, 0x01,
      0x95, 0x09, 0xB1, 0x02},
     false, 2, 0, 3},
    {"PopRestoresThePushedGlobals",
     {0x75, 0x08, 0x95, 0x04, 0xA4, 0x95, 0x3C, 0x81, 0x02, 0xB4, 0x91, 0x02},
     false, 61, 5, 0},
    {"FourByteItemDataIsLittleEndian",
     {0x75, 0x08, 0x97, 0x40, 0x00, 0x00, 0x00, 0x81, 0x02}, false, 65, 0, 0},
    {"LongItemsAreSkipped",
     {0xFE, 0x02, 0x10, 0x95, 0x10, 0x75, 0x08, 0x95, 0x08, 0x81, 0x02}, false, 9, 0, 0},
    {"LocalItemsDoNotChangeSizes",
     {0x75, 0x08, 0x95, 0x04, 0x09, 0x30, 0x19, 0x01, 0x29, 0x08, 0x81, 0x02}, false, 5, 0, 0},
};

class ReportLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ReportLayout, GivesTheLengthsWindowsReports) {
  const LayoutCase& c = GetParam();
  const auto layout = ParseReportDescriptor(c.descriptor.data(), c.descriptor.size());
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->numbered, c.numbered);
  EXPECT_EQ(layout->lengths.input, c.input);
  EXPECT_EQ(layout->lengths.output, c.output);
  EXPECT_EQ(layout->lengths.feature, c.feature);
}

INSTANTIATE_TEST_SUITE_P(Descriptors, ReportLayout, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return info.param.name; });

struct BrokenCase {
  std::string name;
  std::vector<uint8_t> descriptor;
};

void PrintTo(const BrokenCase& c, std::ostream* out) { *out << c.name; }

const std::vector<BrokenCase> kBroken = {
    {"ItemDataCutShort", {0x75, 0x08, 0x95}},
    {"FourByteItemCutShort", {0x97, 0x40, 0x00}},
    {"LongItemCutShort", {0xFE, 0x05, 0x10, 0x01}},
    {"PopWithoutPush", {0x75, 0x08, 0xB4, 0x95, 0x01, 0x81, 0x02}},
    {"ReportLongerThanAnyTransport", {0x75, 0x20, 0x97, 0x00, 0x00, 0x01, 0x00, 0x81, 0x02}},
    {"ManyFieldsLongerThanAnyTransport",
     {0x75, 0x08, 0x96, 0x00, 0x20, 0x81, 0x02, 0x81, 0x02, 0x81, 0x02}},
};

class BrokenDescriptor : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenDescriptor, GivesNoLayout) {
  const BrokenCase& c = GetParam();
  EXPECT_FALSE(ParseReportDescriptor(c.descriptor.data(), c.descriptor.size()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Descriptors, BrokenDescriptor, ::testing::ValuesIn(kBroken),
                         [](const auto& info) { return info.param.name; });

TEST(ReportLayout, LargestReportTheHidCoreAcceptsIsKept) {
  // 16384 bytes in one input report.
  const std::vector<uint8_t> descriptor = {0x75, 0x08, 0x96, 0x00, 0x40, 0x81, 0x02};
  const auto layout = ParseReportDescriptor(descriptor.data(), descriptor.size());
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->lengths.input, 16385);
}

}  // namespace
}  // namespace platform
}  // namespace quorlan
