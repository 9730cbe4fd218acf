#include "quorlan/transport/serial_frame.h"

#include <gtest/gtest.h>

namespace quorlan {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(SerialFrame, StuffingEscapesTheDelimiterAndTheEscape) {
  const struct {
    Bytes content;
    Bytes frame;
  } cases[] = {
      {{}, {0xC0, 0xC0}},
      {{0x01, 0xC0, 0x02}, {0xC0, 0x01, 0xDB, 0xDC, 0x02, 0xC0}},
      {{0xDB}, {0xC0, 0xDB, 0xDD, 0xC0}},
      {{0xC0, 0xC0}, {0xC0, 0xDB, 0xDC, 0xDB, 0xDC, 0xC0}},
      {{0xDB, 0xDC}, {0xC0, 0xDB, 0xDD, 0xDC, 0xC0}},
      // Carriage return and the flow-control bytes go as they are.
      {{0x0D, 0x11, 0x13, 0xDC, 0xDD}, {0xC0, 0x0D, 0x11, 0x13, 0xDC, 0xDD, 0xC0}},
  };
  for (const auto& c : cases) EXPECT_EQ(StuffFrame(c.content), c.frame);
}

TEST(SerialFrame, UnstuffingUndoesEveryEscapeTheReaderMayUse) {
  const struct {
    Bytes raw;
    Bytes content;
  } cases[] = {
      {{0xC0, 0x01, 0x02}, {0x01, 0x02}},
      {{0xC0, 0xDB, 0xDC}, {0xC0}},
      {{0xC0, 0xDB, 0xDD}, {0xDB}},
      {{0xC0, 0xDB, 0xDE}, {0x11}},
      {{0xC0, 0xDB, 0xDF}, {0x13}},
      {{0xC0, 0xDB, 0x41}, {0x41}},
      {{0xC0, 0x01, 0xDB}, {0x01}},
      {{0xC0, 0xDB, 0xDB, 0xDC}, {0xC0}},
      {{0xC0, 0xDC, 0xDD, 0x11}, {0xDC, 0xDD, 0x11}},
  };
  for (const auto& c : cases) {
    auto content = UnstuffFrame(c.raw.data(), c.raw.size());
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(*content, c.content);
  }
}

TEST(SerialFrame, UnstuffingGivesNothingForWhatIsNoFrame) {
  for (const Bytes& raw : {Bytes{}, Bytes{0xC0}, Bytes{0x01, 0x02}, Bytes{0xDB, 0xC0, 0x01}}) {
    EXPECT_FALSE(UnstuffFrame(raw.data(), raw.size()).has_value()) << raw.size();
  }
}

TEST(SerialFrame, EveryByteValueSurvivesStuffingAndUnstuffing) {
  Bytes content;
  for (int round = 0; round < 3; ++round) {
    for (int value = 0; value < 256; ++value) content.push_back(static_cast<uint8_t>(value));
  }
  Bytes frame = StuffFrame(content);
  ASSERT_EQ(frame.front(), kFrameDelimiter);
  ASSERT_EQ(frame.back(), kFrameDelimiter);
  for (size_t i = 1; i + 1 < frame.size(); ++i) ASSERT_NE(frame[i], kFrameDelimiter) << i;
  auto back = UnstuffFrame(frame.data(), frame.size() - 1);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, content);
}

}  // namespace
}  // namespace quorlan
