// The sequence numbers a freshly loaded library hands out; this program must
// build no other command before these checks.
#include <gtest/gtest.h>

#include <string>

#include "quorlan/qrx.h"

namespace {

TEST(FreshLibrary, NumbersCommandsOneThreeFiveAndWrapsToOne) {
  for (int i = 0; i < 130; ++i) {
    std::string envelope = QRX_GetFormattedCommandBytesInHex("1008");
    const int expected = (2 * i + 1) & 0xFF;
    ASSERT_EQ(std::stoi(envelope.substr(10, 2), nullptr, 16), expected) << "command " << i;
    if (i == 0) {
      EXPECT_EQ(envelope, "AA0081040101100884021008");
    }
  }
}

}  // namespace
