#include "quorlan/message/notification.h"

#include <gtest/gtest.h>

#include "parse_error.h"

namespace quorlan {
namespace {

struct NotificationCase {
  const char* hex;
  uint16_t id;
  uint32_t code;
};

TEST(NotificationParse, ReadsIdAndCode) {
  const NotificationCase cases[] = {
      {"AA00810403001805820401010101", 0x1805, 0x01010101},
      {"AA0081040300100183050000000007", 0x1001, 7},
      {"AA0081040300100183059912345678", 0x1001, 0x12345678},
      {"AA008104030010018204000000028305FF00000007", 0x1001, 2},
      {"AA00810403001001820501020304FF", 0x1001, 0x01020304},
      {"AA0081048300ABCD8204FFFFFFFF", 0xABCD, 0xFFFFFFFF},
      {"AAFF810403000905820400000001", 0x0905, 1},
  };
  for (const auto& c : cases) {
    const OrvaneNotification notification = OrvaneNotification::FromHex(c.hex);
    EXPECT_EQ(notification.id, c.id) << c.hex;
    EXPECT_EQ(notification.code, c.code) << c.hex;
    EXPECT_EQ(notification.messageText, c.hex) << c.hex;
  }
}

TEST(NotificationParse, FailsWithTheTextOfTheFirstCheckMissed) {
  const std::pair<const char*, const char*> cases[] = {
      {"AA00", "invalid data"},
      {"AA01810403001805820401010101", "Invalid frameword id"},
      {"AA0081050300180500820401010101", "Invalid message type"},
      {"AA008103030018820401010101", "Invalid message type"},
      {"AA00810402051001820400000000", "Invalid message type"},
      {"AA00810404001001820400000000", "Invalid message type"},
      {"AA00810403001805820401010101840110", "invalid data"},
  };
  for (const auto& [hex, error] : cases) {
    EXPECT_EQ(ErrorOf([&] { OrvaneNotification::FromHex(hex); }), error) << hex;
  }
  EXPECT_NE(ErrorOf([] { OrvaneNotification::FromHex("AA008100820401010101"); }), kNoError);
  EXPECT_NE(ErrorOf([] { OrvaneNotification::FromHex("AA00820401010101"); }), kNoError);
}

// The code needs 4 bytes of P2, or 5 of P3 when P2 is empty; a shorter
// parameter holds no code to read.
TEST(NotificationParse, FailsWhenTheCodeBytesAreMissing) {
  const char* const header = "AA00810403001805";
  const char* const cases[] = {
      "820101", "82020101", "8203010101", "8202010183050000000000",
      "", "8200", "830100", "830400000000", "82008304000000",
  };
  for (const char* parameters : cases) {
    const std::string hex = std::string(header) + parameters;
    EXPECT_EQ(ErrorOf([&] { OrvaneNotification::FromHex(hex); }), "Cannot find notification code") << hex;
  }
}

TEST(NotificationParse, ReadsTheInnerFrameFromParameter4) {
  const OrvaneNotification notification =
      OrvaneNotification::FromHex("AA00810403001805820400000001" "84091805A205E103C10107");
  EXPECT_EQ(notification.frame.type, 0x1805);
  EXPECT_EQ(BytesToHexString(notification.GetParameterByPath("A2.E1.C1")), "07");
  EXPECT_EQ(BytesToHexString(notification.GetParameterByPath("A2.E1")), "C10107");

  const OrvaneNotification without = OrvaneNotification::FromHex("AA00810403000905820400000001");
  EXPECT_EQ(without.frame.type, 0x0905);
  EXPECT_TRUE(without.frame.parameters.empty());
}

}  // namespace
}  // namespace quorlan
