#include "quorlan/message/tag_path.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quorlan {
namespace {

// Parameter 0xA4 (key 35): E1 02 C1 00, then two A0 items each holding 81.
// Parameter 0x82 (key 2): a deep tree E2.E1.E1.E1.C1.
// Parameter 0xA0 (key 31): 09.
OrvaneAPIFrameWork SampleFrame() {
  OrvaneAPIFrameWork frame(0x1001);
  frame.SetParameterHex(35, "E102C100" "A0038101AA" "A0068101BB8101CC" "9F020111");
  frame.SetParameterHex(2, "E20BE109E107E105C103010203");
  frame.SetParameterHex(31, "09");
  return frame;
}

struct PathCase {
  const char* path;
  const char* expected;
};

TEST(TagPath, SelectsValuesStepByStep) {
  const char* const wholeA4 = "E102C100A0038101AAA0068101BB8101CC9F020111";
  const PathCase cases[] = {
      {"A4.E1", "C100"},
      {"A4.e1", wholeA4},
      {"A4.E1(1)", wholeA4},
      {"A4.E1(0)", "C100"},
      {"A4.A0(1).81", "BB"},
      {"A4.A0(1).81(1)", "CC"},
      {"A4.A0.81", "AA"},
      {"A4.9F02", "11"},
      {"A4.9f02", wholeA4},
      {"82.E2.E1.E1.E1.C1", "010203"},
      {"82.E2.E1.E1", "E105C103010203"},
      // Steps that match nothing or do not parse leave the value.
      {"82.E2.C9.E1.E1.E1.C1", "010203"},
      {"82.E2.E1().E1.E1.E1", "C103010203"},
      {"82.E2.E1(x).E1", "E107E105C103010203"},
      {"82.E2.E1(1)(2).E1", "E107E105C103010203"},
      {"82.E2.(1).E1", "E107E105C103010203"},
      {"82..E2", "E109E107E105C103010203"},
      {"82.E2.E1(99999999999x)", "E109E107E105C103010203"},
      // Data that is no list of items offers nothing to select.
      {"82.E2.E1.E1.E1.C1.01", "010203"},
      {"A0(2)", "09"},
      {"A0", "09"},
      {"0xA0", "09"},
      {"A0.81", "09"},
      {"7F.81", ""},
      {"9F", ""},
      {"80", ""},
      {"BF", ""},
      {"-A0", ""},
      {"FFFFFFFFFFFFFFFFFFFFFF", ""},
      {"81", ""},
      {"", ""},
  };
  const OrvaneAPIFrameWork frame = SampleFrame();
  for (const auto& c : cases) {
    EXPECT_EQ(BytesToHexString(SelectByTagPath(frame, c.path)), c.expected) << c.path;
  }
}

TEST(TagPath, FailsOnAHeadWithoutDigitsOrAnIndexBeyondInt) {
  const OrvaneAPIFrameWork frame = SampleFrame();
  EXPECT_THROW(SelectByTagPath(frame, "ZZ.81"), std::invalid_argument);
  EXPECT_THROW(SelectByTagPath(frame, ".A4"), std::invalid_argument);
  EXPECT_THROW(SelectByTagPath(frame, "A4.A0(2147483648)"), std::out_of_range);
  EXPECT_EQ(BytesToHexString(SelectByTagPath(frame, "A4.A0(2147483647)")),
            "E102C100A0038101AAA0068101BB8101CC9F020111");
}

TEST(TagPath, ReadsAValueThatRunsPastItsEndAsHavingNoItems) {
  OrvaneAPIFrameWork frame(0x1001);
  frame.SetParameterHex(35, "E102C100C105");
  EXPECT_EQ(BytesToHexString(SelectByTagPath(frame, "A4.E1")), "E102C100C105");
}

}  // namespace
}  // namespace quorlan
