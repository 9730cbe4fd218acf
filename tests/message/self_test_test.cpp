#include "quorlan/message/self_test.h"

#include <gtest/gtest.h>

#include "quorlan/message/command_envelope.h"

namespace quorlan {
namespace {

TEST(SelfTest, FindsNoMismatchInTheCommandEncoding) { EXPECT_EQ(CountCommandEncodingMismatches(), 0); }

TEST(SelfTest, DrawsTwoSequenceNumbersPerCommand) {
  const uint8_t before = DrawCommandSequence();
  CountCommandEncodingMismatches();
  const uint8_t after = DrawCommandSequence();
  EXPECT_EQ(static_cast<uint8_t>(after - before - 1), static_cast<uint8_t>(2 * 99 * 99));
}

}  // namespace
}  // namespace quorlan
